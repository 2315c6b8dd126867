// The truth of each column against a reference, and the isotonic fit.
#include "training/confidence_fit.h"

#include <gtest/gtest.h>

namespace training {
namespace {

TEST(ConfidenceFit, ColumnTruthCountsUpperCaseReferenceResiduesOnly) {
  // Records 0-2; the reference has no row for record 2 and marks b's D
  // unreliable (lower case).
  runs::Reference reference;
  reference.rows = {"AC-D", "A-Cd"};
  reference.recordOf = {0, 1};
  const auto truth = columnTruth({"AC-D", "A-CD", "ACCD"}, reference);
  ASSERT_EQ(truth.size(), 4u);
  EXPECT_EQ(truth[0], std::make_pair(1.0, 1.0));  // a-b, right
  EXPECT_EQ(truth[1], std::make_pair(0.0, 0.0));  // a's C alone among counted
  EXPECT_EQ(truth[2], std::make_pair(0.0, 0.0));
  EXPECT_EQ(truth[3], std::make_pair(0.0, 0.0));  // b's D not counted
  const auto apart = columnTruth({"A-CD", "AC-D"}, reference);
  EXPECT_EQ(apart[1], std::make_pair(0.0, 0.0));
  EXPECT_EQ(apart[0], std::make_pair(1.0, 1.0));
  // Column 2 holds a's C and b's C, which the reference puts apart.
  const auto wrong = columnTruth({"A-C-D", "A-C-d"}, reference);
  EXPECT_EQ(wrong[2], std::make_pair(0.0, 1.0));
}

TEST(ConfidenceFit, IsotonicPoolsViolatorsByPairs) {
  // Raw 0.1 and 0.2 are out of order (0.5 then 0.2 right): pooled by their
  // pairs to (1 + 2) / (2 + 10) = 0.25 at raw (0.1 * 2 + 0.2 * 10) / 12.
  const std::vector<ConfidenceColumn> columns = {
      {0.1, 1, 2, 1}, {0.2, 2, 10, 2}, {0.6, 6, 10, 1}, {0.6, 8, 10, 2}, {0.9, 9, 10, 1}};
  const advice::ConfidenceCalibration c = fitCalibration(columns);
  ASSERT_EQ(c.raw.size(), 3u);
  EXPECT_DOUBLE_EQ(c.raw[0], (0.1 * 2 + 0.2 * 10) / 12);
  EXPECT_DOUBLE_EQ(c.calibrated[0], 0.25);
  EXPECT_DOUBLE_EQ(c.raw[1], 0.6);  // equal raw values share a knot
  EXPECT_DOUBLE_EQ(c.calibrated[1], 0.7);
  EXPECT_DOUBLE_EQ(c.calibrated[2], 0.9);

  // Held out, each fold is mapped by the other's fit only.
  const advice::ConfidenceCalibration v = crossValidatedCalibration(columns, 2, 2);
  EXPECT_EQ(v.folds, 2);
  EXPECT_EQ(v.columns, 5);
  EXPECT_GT(v.rawError, 0);
  EXPECT_GT(v.heldOutError, 0);
  EXPECT_EQ(v.raw, c.raw);
}

}  // namespace
}  // namespace training
