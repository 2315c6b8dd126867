// Ordering of alignment results: larger sums first, then larger valueC.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "getChar.h"

namespace {

t_Alignments record(double a, double b, double c = 0) {
  t_Alignments r;
  r.valueA = a;
  r.valueB = b;
  r.valueC = c;
  return r;
}

int compare(const t_Alignments& a, const t_Alignments& b) { return compareMyType(&a, &b); }

const double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(CompareMyTypeTest, LargerSumComesFirst) {
  EXPECT_EQ(compare(record(0.5, 0.4), record(0.5, 0.2)), -1);
  EXPECT_EQ(compare(record(0.5, 0.2), record(0.5, 0.4)), 1);
  // Exact sums: 0.1 + 0.2 is a little more than 0.3, whatever valueC says.
  EXPECT_EQ(compare(record(0.1, 0.2, 0), record(0.3, 0.0, 9)), -1);
}

TEST(CompareMyTypeTest, EqualSumsPutTheLargerValueCFirst) {
  EXPECT_EQ(compare(record(0.5, 0.25, 2), record(0.25, 0.5, 1)), -1);
  EXPECT_EQ(compare(record(0.25, 0.5, 1), record(0.5, 0.25, 2)), 1);
  t_Alignments x = record(0.5, 0.25, 3), y = record(0.25, 0.5, 3);
  x.textA = "one";
  y.textB = "other";
  EXPECT_EQ(compare(x, y), 0);
}

TEST(CompareMyTypeTest, UnorderedValuesCompareEqual) {
  EXPECT_EQ(compare(record(kNaN, 0.5, 1), record(0.1, 0.1, 2)), 0);
  EXPECT_EQ(compare(record(0.1, 0.1, 2), record(0.5, kNaN, 1)), 0);
  EXPECT_EQ(compare(record(0.5, 0.5, kNaN), record(0.5, 0.5, 1)), 0);
}

// The records hold strings, so they are sorted with std::sort rather than
// moved byte-wise by qsort.
TEST(CompareMyTypeTest, SortingListsBestFirst) {
  std::vector<t_Alignments> rs = {record(0.25, 0.25, 1), record(0.5, 0.25, 0),
                                  record(0.375, 0.125, 5), record(0.125, 0, 0), record(0.5, 0, 2)};
  std::sort(rs.begin(), rs.end(),
            [](const t_Alignments& a, const t_Alignments& b) { return compare(a, b) < 0; });
  const double sums[5] = {0.75, 0.5, 0.5, 0.5, 0.125};
  const double cs[5] = {0, 5, 2, 1, 0};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rs[i].valueA + rs[i].valueB, sums[i]) << i;
    EXPECT_EQ(rs[i].valueC, cs[i]) << i;
  }
}
