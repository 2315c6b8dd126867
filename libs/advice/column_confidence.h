// Which columns and residues of the chosen alignment to trust, from the
// other alignments the advice made of the same data set.
//
// The confidence is the support of scoring/column_support.h: for a column,
// the share of its residue pairs that the other alignments align too; for a
// residue, the same over its own pairs. Each aligner is one vote, shared by
// its alignments, so that variants of one method count once; the chosen
// alignment's own aligner votes too, with its other variants (measured: the
// columns rank closer to their true share of correct pairs than with the
// other aligners alone). The merge, made of three others, has no vote.
//
// Raw support is not a probability (on held-out simulated families the
// columns' mean support was 0.50 where 0.71 of their pairs were right):
// calibrateConfidence maps it through a calibration fitted in training.
#ifndef ADVICE_COLUMN_CONFIDENCE_H
#define ADVICE_COLUMN_CONFIDENCE_H

#include <string>
#include <vector>

#include "advice/advice.h"

namespace advice {

// The confidence (advice.h) of results[best]'s alignment among the other
// valid results.
Confidence confidenceOf(const std::vector<CandidateResult>& results, size_t best);

// Maps a known confidence's columns and residues through the calibration
// (confidence_calibration.h) and marks it calibrated.
void calibrateConfidence(const ConfidenceCalibration& calibration, Confidence* confidence);

}  // namespace advice

#endif
