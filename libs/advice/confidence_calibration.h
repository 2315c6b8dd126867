// The column confidence as a probability: the share of a column's residue
// pairs that are right, given its raw support among the other alignments
// (column_confidence.h). Fitted in training (alntrain) by isotonic
// regression of the right share on the raw support, each column weighted by
// its pairs, and judged by cross-validation over whole data sets.
//
// The map is monotone and piecewise linear between its knots (raw,
// calibrated), flat beyond the first and the last; NaN stays NaN. A
// residue's confidence goes through the same map as a column's.
//
// The file (data/confidence-calibration.json, written by alntrain) holds
// the knots and what judged them: the data sets, folds and columns, and the
// held-out mean absolute difference from the right share of the raw support
// and of the calibrated one (weighted by the columns' pairs).
#ifndef ADVICE_CONFIDENCE_CALIBRATION_H
#define ADVICE_CONFIDENCE_CALIBRATION_H

#include <string>
#include <vector>

namespace advice {

struct ConfidenceCalibration {
  std::vector<double> raw, calibrated;  // knots: raw increasing, calibrated not decreasing
  int dataSets = 0, folds = 0, columns = 0;
  double rawError = 0, heldOutError = 0;
};

double calibrate(const ConfidenceCalibration& c, double raw);

// Reads and checks a file: at least one knot, every value in [0, 1], raw
// increasing and calibrated not decreasing. False with the file and the
// fault in *error.
bool readConfidenceCalibration(const std::string& path, ConfidenceCalibration* out,
                               std::string* error);
bool parseConfidenceCalibration(const std::string& text, ConfidenceCalibration* out,
                                std::string* error);
std::string formatConfidenceCalibration(const ConfidenceCalibration& c);

}  // namespace advice

#endif
