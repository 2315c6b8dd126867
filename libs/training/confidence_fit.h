// Fitting the column confidence's calibration
// (advice/confidence_calibration.h) on the benchmark.
//
// For each held-out data set, the candidates the default effort's budget
// runs (effort_validation.h's plannedRuns) are the advice's alignments; each
// valid one but the merge is taken in turn as the chosen alignment, and each
// of its columns gives its raw confidence among the others (as the advisor
// computes it) beside the share of its residue pairs that the reference
// aligns too (reference residues in upper case only, as Q counts them;
// columns without such a pair are left out).
//
// The calibration is the weighted isotonic regression (pool adjacent
// violators) of that share on the raw confidence, each column weighted by
// its pairs: one knot per pooled block, at its weighted mean raw value.
// Judged by cross-validation over the data sets' folds.
#ifndef TRAINING_CONFIDENCE_FIT_H
#define TRAINING_CONFIDENCE_FIT_H

#include <string>
#include <vector>

#include "advice/confidence_calibration.h"
#include "runs/reference.h"
#include "training/cross_validation.h"

namespace training {

struct ConfidenceColumn {
  double raw = 0;
  double right = 0, pairs = 0;  // residue pairs the reference aligns too, and all counted
  int fold = 0;
};

// Per column of rows (records in the data set's order): the pairs the
// reference aligns too and all counted pairs.
std::vector<std::pair<double, double>> columnTruth(const std::vector<std::string>& rows,
                                                   const runs::Reference& reference);

// The columns of every valid, non-merge candidate of h that ran[i] marks.
void addConfidenceColumns(const HeldOut& h, const runs::Reference& reference,
                          const std::vector<bool>& ran, std::vector<ConfidenceColumn>* out);

advice::ConfidenceCalibration fitCalibration(const std::vector<ConfidenceColumn>& columns);

// Fits on all columns, with the held-out errors of fitting on the other
// folds; dataSets is recorded as given.
advice::ConfidenceCalibration crossValidatedCalibration(
    const std::vector<ConfidenceColumn>& columns, int folds, int dataSets);

// The training report's paragraph on it.
std::string formatCalibrationReport(const advice::ConfidenceCalibration& c);

}  // namespace training

#endif
