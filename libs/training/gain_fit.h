// Fitting the gain model (advice/gain_model.h) on data sets where MAFFT
// --auto and the listed configurations ran: each configuration's gain in Q
// over --auto's, predicted from the data set's descriptors.
//
// The forms are judged by cross-validation over whole data sets (the folds
// of assignFolds): the held-out root mean square error of predicting no
// gain, each configuration's mean gain, and a ridge regression on the
// descriptors (penalty kGainRidge per data set). The linear form is kept
// only when its error is lower than the mean's by at least
// kLinearGainMargin; the model fitted on every data set in the kept form
// ships, each configuration with its held-out error.
#ifndef TRAINING_GAIN_FIT_H
#define TRAINING_GAIN_FIT_H

#include <map>
#include <string>
#include <vector>

#include "advice/gain_model.h"
#include "runs/configuration.h"

namespace training {

// One data set: its descriptors and each configuration's gain over --auto
// (already floored at advice::kGainFloor), by configuration label.
struct GainExample {
  advice::Descriptors descriptors{};
  std::map<std::string, double> gain;
};

const double kGainRidge = 1.0;
const double kLinearGainMargin = 0.002;

// The gain of a run of Q q (0 when it failed) over --auto's.
double flooredGain(double q, double autoQ);

// Fits one form on the examples; configurations names each label's
// configuration (labels not among the examples get no entry). Errors are
// left 0.
advice::GainModel fitGainModel(const std::vector<GainExample>& examples,
                               const std::map<std::string, runs::Configuration>& configurations,
                               advice::GainForm form);

// Cross-validates both forms over `folds` folds (example i in fold i mod
// folds), keeps one, and fits it on all examples with the held-out errors.
advice::GainModel crossValidatedGainModel(
    const std::vector<GainExample>& examples,
    const std::map<std::string, runs::Configuration>& configurations, int folds);

// The training report's paragraph on the gain model.
std::string formatGainReport(const advice::GainModel& model);

}  // namespace training

#endif
