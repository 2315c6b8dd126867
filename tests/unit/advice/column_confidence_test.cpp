// Who votes on the chosen alignment's columns, and with what weight.
#include "advice/column_confidence.h"

#include <gtest/gtest.h>

#include "runs/aligner_names.h"

namespace advice {
namespace {

CandidateResult result(int kind, std::vector<std::string> rows, bool valid = true) {
  CandidateResult r;
  r.candidate.configuration.kind = kind;
  r.rows = std::move(rows);
  r.valid = valid;
  return r;
}

// Y keeps 5 of X's 8 pairs; column 3 (DDD) only b-c.
const std::vector<std::string> kX = {"AC-D", "A-CD", "ACCD"};
const std::vector<std::string> kY = {"ACD-", "AC-D", "ACCD"};
const int kMafft = 3, kKalign = 2;

TEST(ColumnConfidence, EachAlignerOneVoteTheMergeAndFailuresNone) {
  // Chosen MAFFT; a MAFFT variant agrees fully, two Kalign runs as Y; the
  // merge and a failed run would disagree everywhere.
  const std::vector<std::string> apart = {"A-C---D", "-A--C-D", "--A-CCD"};
  std::vector<CandidateResult> results = {result(kMafft, kX),
                                          result(kKalign, kY),
                                          result(kMafft, kX),
                                          result(kKalign, kY),
                                          result(runs::kMergeKind, apart),
                                          result(kKalign, apart, false)};
  const Confidence c = confidenceOf(results, 0);
  ASSERT_TRUE(c.known) << c.note;
  EXPECT_EQ(c.voters, (std::vector<std::string>{"KALIGN (2 alignments)", "MAFFT (1 alignment)"}));
  // MAFFT's vote 1, Kalign's Y's support, each half.
  EXPECT_DOUBLE_EQ(c.columns[2], 0.5);
  EXPECT_DOUBLE_EQ(c.columns[3], (1 + 1.0 / 3) / 2);
  EXPECT_DOUBLE_EQ(c.residues[0][2], 0.5);
}

TEST(ColumnConfidence, UnknownWithoutAnotherAlignment) {
  std::vector<CandidateResult> results = {result(kMafft, kX), result(runs::kMergeKind, kY),
                                          result(kKalign, kY, false)};
  Confidence c = confidenceOf(results, 0);
  EXPECT_FALSE(c.known);
  EXPECT_EQ(c.note, "no other alignment to compare with");
  // An alignment of other residues (it would not pass the advice's checks).
  results.push_back(result(kKalign, {"ACD-", "AC-E", "ACCD"}));
  c = confidenceOf(results, 0);
  EXPECT_FALSE(c.known);
  EXPECT_EQ(c.note.rfind("not computed: ", 0), 0u) << c.note;
  EXPECT_TRUE(c.voters.empty());
}

TEST(ColumnConfidence, CalibrationMapsColumnsAndResiduesOfAKnownOneOnly) {
  ConfidenceCalibration calibration;
  calibration.raw = {0, 1};
  calibration.calibrated = {0.5, 1};
  std::vector<CandidateResult> results = {result(kMafft, kX), result(kKalign, kY)};
  Confidence c = confidenceOf(results, 0);
  calibrateConfidence(calibration, &c);
  EXPECT_TRUE(c.calibrated);
  EXPECT_DOUBLE_EQ(c.columns[2], 0.5);  // raw 0
  EXPECT_DOUBLE_EQ(c.residues[1][2], 0.75);  // raw 0.5
  Confidence unknown;
  calibrateConfidence(calibration, &unknown);
  EXPECT_FALSE(unknown.calibrated);
}

}  // namespace
}  // namespace advice
