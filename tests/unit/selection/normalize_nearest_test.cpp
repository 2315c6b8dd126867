#include <cmath>
#include <vector>

#include "selection_fixture.h"

namespace {

using NormalizeTest = SelectionTest;
using NearestReferenceTest = SelectionTest;

TEST_F(NormalizeTest, RescalesEveryRowAgainstTheRawBounds) {
  normalizeData();  // n = 0: nothing to do
  EXPECT_EQ(OF.rows[0].feature[0], 0.0);

  OF.n = 2;
  setFeatures(0, {2, 5, 5, 1, 0, 0, 0, 0, 0, 0});
  setFeatures(1, {6, 5, 5, 3, 0, 0, 0, 0, 0, 0});
  OF.min = OF.rows[0];
  OF.max = OF.rows[1];
  OF.max.feature[2] = 5;
  OF.min.feature[2] = 5;
  OF.min.feature[1] = 5;
  OF.max.feature[1] = 5;
  OF.rows[1].feature[2] = 7;  // differs from the bounds of a zero range
  normalizeData();
  EXPECT_EQ(OF.rows[0].feature[0], 0.0);
  EXPECT_EQ(OF.rows[1].feature[0], 1.0);
  EXPECT_EQ(OF.rows[1].feature[3], 1.0);
  EXPECT_TRUE(std::isnan(OF.rows[0].feature[1]));  // zero range
  EXPECT_TRUE(std::isnan(OF.rows[1].feature[1]));
  EXPECT_EQ(OF.rows[1].feature[2], INFINITY);
  EXPECT_EQ(OF.min.feature[0], 2.0);  // bounds keep the raw extremes
  EXPECT_EQ(OF.max.feature[0], 6.0);
}

TEST_F(NormalizeTest, BoundsStartingAtZeroKeepPositiveMinimaAboveZero) {
  std::string path = writeTable("o", "a;2;0;0;0;0;0;0;0;0;0;0;\nb;6;0;0;0;0;0;0;0;0;0;0;\n");
  std::vector<char> arg(path.begin(), path.end());
  arg.push_back('\0');
  readOptionFile(arg.data());
  normalizeData();
  EXPECT_DOUBLE_EQ(OF.rows[0].feature[0], 2.0 / 6.0);
  EXPECT_EQ(OF.rows[1].feature[0], 1.0);
}

TEST_F(NearestReferenceTest, NoReferenceLeavesStartValues) {
  OF.n = 1;
  getNearestReference();
  EXPECT_EQ(iA, 1);
  EXPECT_EQ(iB, 1);
  EXPECT_EQ(iC, 1);
  EXPECT_EQ(iD, 1);
  EXPECT_EQ(distA, 9999999.0);
  EXPECT_EQ(distB, 9999999.0);
  EXPECT_EQ(distC, 9999999.0);

  OF.n = 2;  // one reference: it takes group A only
  setFeatures(1, {0.3, 0.4, 0, 1, 1, 1, 1, 1, 1, 1});
  getNearestReference();
  EXPECT_EQ(iA, 1);
  EXPECT_DOUBLE_EQ(distA, 0.5);
  EXPECT_EQ(iB, 1);
  EXPECT_EQ(distB, 9999999.0);
  EXPECT_EQ(iC, 1);
}

TEST_F(NearestReferenceTest, EachRowIsTakenForAtMostOneGroup) {
  OF.n = 5;
  setFeatures(1, {0.1, 0, 0, 0.9, 0, 0.9, 0, 0, 0, 0});
  setFeatures(2, {0.5, 0, 0, 0.2, 0, 0.9, 0, 0, 0, 0});  // farther in A, has B
  setFeatures(3, {0.6, 0, 0, 0.3, 0, 0.4, 0, 0, 0, 0});  // farther in A and B, has C
  setFeatures(4, {0.6, 0, 0, 0.1, 0, 0.1, 0, 0, 0, 0});  // takes B, so not examined for C
  getNearestReference();
  EXPECT_EQ(iA, 1);
  EXPECT_EQ(iB, 4);
  EXPECT_DOUBLE_EQ(distB, 0.1);
  EXPECT_EQ(iC, 3);
  EXPECT_DOUBLE_EQ(distC, 0.4);

  // A later row nearest in every group only moves group A.
  OF.n = 6;
  setFeatures(5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  getNearestReference();
  EXPECT_EQ(iA, 5);
  EXPECT_EQ(distA, 0.0);
  EXPECT_EQ(iB, 4);
  EXPECT_EQ(iC, 3);
}

TEST_F(NearestReferenceTest, IdenticalLaterRowIsExaminedForGroupB) {
  OF.n = 3;
  setFeatures(1, {0.1, 0, 0, 0.2, 0, 0, 0, 0, 0, 0});
  setFeatures(2, {0.1, 0, 0, 0.2, 0, 0, 0, 0, 0, 0});
  getNearestReference();
  EXPECT_EQ(iA, 1);
  EXPECT_EQ(iB, 2);
  EXPECT_DOUBLE_EQ(distB, 0.2);
  EXPECT_EQ(iC, 1);

  // A row that ties group B is examined for group C instead.
  OF.n = 4;
  setFeatures(3, {0.2, 0, 0, 0.2, 0, 0.3, 0, 0, 0, 0});
  getNearestReference();
  EXPECT_EQ(iB, 2);
  EXPECT_EQ(iC, 3);
  EXPECT_DOUBLE_EQ(distC, 0.3);
}

TEST_F(NearestReferenceTest, NaNGroupKeepsItsStartValues) {
  OF.n = 3;
  for (int r = 0; r < 3; ++r) OF.rows[r].feature[3] = NAN;  // zero range in group B
  setFeatures(1, {0.1});
  setFeatures(2, {0.5, 0, 0, NAN, 0, 0.3});
  getNearestReference();
  EXPECT_EQ(iA, 1);
  EXPECT_EQ(iB, 1);
  EXPECT_EQ(distB, 9999999.0);
  EXPECT_EQ(iC, 2);
  EXPECT_DOUBLE_EQ(distC, 0.3);
}

// The selection steps of the three-argument mode: the option file fills
// rows from 0, and its later lines are compared with the first one.
TEST_F(NearestReferenceTest, OptionFileLinesAreComparedWithTheFirstLine) {
  std::string path = writeTable("opt",
                                "in;0;0;0;0;0;0;0;0;0;0;0;\n"
                                "r1;1;1;1;1;1;1;1;1;1;1;1;-a\n"
                                "r2;2;2;2;0;0;0;0;0;0;0;2;-b\n");
  std::vector<char> arg(path.begin(), path.end());
  arg.push_back('\0');
  readOptionFile(arg.data());
  normalizeData();
  getNearestReference();
  EXPECT_EQ(OF.n, 3);
  EXPECT_EQ(iA, 1);
  EXPECT_DOUBLE_EQ(distA, std::sqrt(0.75));
  EXPECT_EQ(iB, 2);
  EXPECT_EQ(distB, 0.0);
  EXPECT_EQ(iC, 1);
  EXPECT_EQ(distC, 9999999.0);
}

}  // namespace
