// Rows drawn for scoring a large family, and the alignment they keep.
#include "advice/row_sample.h"

#include <gtest/gtest.h>

#include <set>

namespace advice {
namespace {

TEST(RowSample, DrawsDistinctIncreasingRowsTheSameEachTime) {
  const std::vector<size_t> a = sampleRows(100000, 2000, 1);
  ASSERT_EQ(a.size(), 2000u);
  EXPECT_TRUE(std::is_sorted(a.begin(), a.end()));
  EXPECT_EQ(std::set<size_t>(a.begin(), a.end()).size(), 2000u);
  EXPECT_LT(a.back(), 100000u);
  EXPECT_GT(a.back(), 90000u);  // spread over all the records
  EXPECT_EQ(a, sampleRows(100000, 2000, 1));
  EXPECT_NE(a, sampleRows(100000, 2000, 2));
  EXPECT_EQ(sampleRows(3, 2000, 1), (std::vector<size_t>{0, 1, 2}));
}

TEST(RowSample, KeepsOnlyColumnsWithAResidueInTheRowsKept) {
  const std::vector<std::string> rows = {"A-C-", "--G-", "-TT-", "---G"};
  EXPECT_EQ(sampledAlignment(rows, {0, 2}), (std::vector<std::string>{"A-C", "-TT"}));
  EXPECT_EQ(sampledAlignment(rows, {1, 3}), (std::vector<std::string>{"G-", "-G"}));
  EXPECT_TRUE(sampledAlignment(rows, {}).empty());
}

}  // namespace
}  // namespace advice
