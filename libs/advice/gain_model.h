// What a candidate configuration is expected to gain over MAFFT --auto on a
// data set, before anything runs, and how sure that expectation is.
//
// A data set is described by three numbers known before any run, from the
// core's raw features (the records, their mean length and its standard
// deviation):
//
//   logSequences   ln of its number of records
//   logLength      ln of its mean sequence length
//   lengthSpread   standard deviation of the lengths over their mean
//
// Per configuration the model holds its gain in Q over --auto's on the
// training data sets (a gain below kGainFloor counts as kGainFloor: how much
// worse a candidate is does not matter to the advice, --auto stays), either
// as their mean ("mean") or as a ridge regression on the descriptors,
// centred and scaled ("linear"), and the held-out error of that prediction:
// the root mean square of predicted minus true gain over the data sets left
// out of the fit. Within a spread (the descriptor's scale) of the range the
// model was trained on, descriptors are clamped to that range; a data set
// farther out (ten times the largest training set, say) is beyond what the
// model saw, and every configuration is predicted there as one the model has
// not seen: even with --auto, with the largest error of the model. Then the
// budget values the candidates alike and takes the cheapest first.
//
// The budget takes each candidate's expected improvement over --auto,
// E[max(0, G)] for G normal with the predicted gain and its error: a likely
// small gain and an unlikely large one both earn a place.
//
// The model file (data/gain-model.json, written by alntrain) holds the form,
// the descriptors' centre, scale and range, the configurations, and the
// cross-validation that chose the form: the held-out errors of predicting
// no gain, each configuration's mean gain, and the linear model.
#ifndef ADVICE_GAIN_MODEL_H
#define ADVICE_GAIN_MODEL_H

#include <array>
#include <string>
#include <vector>

#include "runs/configuration.h"

namespace advice {

const int kDescriptorCount = 3;
extern const char* const kDescriptorNames[kDescriptorCount];
using Descriptors = std::array<double, kDescriptorCount>;

const double kGainFloor = -0.1;

Descriptors describeDataSet(const double features[10]);

enum class GainForm { kMean, kLinear };

struct GainEntry {
  runs::Configuration configuration;
  double intercept = 0;  // the mean gain (the prediction at the centre)
  Descriptors weight{};  // per scaled descriptor; 0 in the mean form
  double error = 0;      // held out
  int dataSets = 0;
};

struct GainModel {
  GainForm form = GainForm::kMean;
  Descriptors center{}, scale{1, 1, 1}, low{}, high{};
  std::vector<GainEntry> entries;
  // The cross-validation that chose the form.
  int dataSets = 0, folds = 0;
  double zeroError = 0, meanError = 0, linearError = 0;

  const GainEntry* find(const runs::Configuration& configuration) const;
  double largestError() const;  // 0 without entries
};

struct GainPrediction {
  double gain = 0, error = 0;
  bool seen = false;  // the model has the configuration, and saw such data sets
};

// The data set lies within a spread of the trained range on every descriptor.
bool withinTrainedRange(const GainModel& model, const Descriptors& descriptors);

GainPrediction predictGain(const GainModel& model, const runs::Configuration& configuration,
                           const Descriptors& descriptors);

// E[max(0, G)], G ~ Normal(gain, error); max(0, gain) when error is 0.
double expectedImprovement(double gain, double error);

const char* gainFormName(GainForm form);

// Reads a model file: every field present and finite, scales above 0, each
// configuration's aligner known. False with the file and the fault in
// *error.
bool readGainModel(const std::string& path, GainModel* model, std::string* error);
bool parseGainModel(const std::string& text, GainModel* model, std::string* error);
std::string formatGainModel(const GainModel& model);

}  // namespace advice

#endif
