// The learnt choice without a reference: a linear model over the candidate
// features (candidate_features.h) that predicts each candidate's Q.
//
// Within one data set each feature is centred on the candidates' mean and
// divided by its scale; the weighted sum ranks the candidates. The level of
// the data set comes from its candidates' mean agreement:
//
//   predicted Q(i) = intercept + slope * mean agreement
//                    + sum_k weight[k] * (x_ik - mean_k) / scale[k]
//
// The plain model (weight 1 on agreement, slope 1, nothing else) predicts
// each candidate's agreement: choosing by it is plain agreement.
//
// The model file (data/choice-model.json, written by alntrain) holds the
// feature names in order, the scales and weights, the level, what it was
// fitted on, the leave-data-sets-out cross-validation that judged it, and
// "defaultEstimator": "learned" only where that cross-validation chose it
// over plain agreement, and "switchMargin": how far another candidate's
// predicted Q must top MAFFT --auto's before the advisor leaves --auto's
// alignment (the smallest at which, held out, the choice fell more than
// kWorseThanAuto below --auto on at most kWorseShareAllowed of the data sets;
// optional: files without it take the advisor's default).
#ifndef ADVICE_CHOICE_MODEL_H
#define ADVICE_CHOICE_MODEL_H

#include <string>
#include <vector>

#include "advice/candidate_features.h"

namespace advice {

// kConsensus (agreement_scores.h's scoreConsensus) needs no model; only
// asked for (it favours alignments that align many pairs).
enum class Estimator { kAgreement, kLearned, kConsensus };

const char* estimatorName(Estimator estimator);

// Switching away from --auto judged held out for one effort: among the
// candidates that effort's default budget runs (fewer than all), with a
// margin of its own.
struct EffortCheck {
  std::string effort;  // "fast", "default", "thorough"
  double switchMargin = 0;
  int dataSets = 0;                             // where --auto ran
  double autoQ = 0, keptQ = 0, worseShare = 0;  // as the fields below
  double meanRuns = 0;                          // candidates the budget ran
};

struct ChoiceModel {
  FeatureVector weight{};
  FeatureVector scale = filled(1.0);
  double intercept = 0, slope = 1;
  // What it was fitted on, and how the cross-validation judged it.
  int dataSets = 0, candidates = 0, folds = 0, crossValidatedSets = 0;
  double learnedQ = 0, agreementQ = 0;              // mean Q of each choice, held out
  double learnedSpearman = 0, agreementSpearman = 0;  // mean rank correlation with Q
  // Held out against MAFFT --auto, on the sets where it ran: its mean Q, the
  // mean Q of the learnt choice that keeps --auto unless beaten by more than
  // the margin, and the share of sets where that choice is more than
  // kWorseThanAuto below --auto's Q.
  int autoSets = 0;
  double autoQ = 0, keptQ = 0, worseShare = 0;
  bool hasSwitchMargin = false;
  double switchMargin = 0;
  Estimator defaultEstimator = Estimator::kAgreement;
  // The default estimator's rule decided again inside each fold, on the
  // other folds alone: the held-out mean Q of the estimator each fold chose
  // (learned or agreement), and how many folds chose the learned one. 0
  // nested folds: not computed (older files).
  int nestedFolds = 0, nestedLearnedFolds = 0;
  double nestedDefaultQ = 0;
  // Per effort (none in older files); the advisor takes the margin of the
  // effort it runs at, switchMargin with a budget given in seconds.
  std::vector<EffortCheck> efforts;
  const EffortCheck* findEffort(const std::string& name) const;

  static FeatureVector filled(double value);
  static ChoiceModel plain();
};

// The loss against MAFFT --auto that the held-out share counts, and the
// share of data sets the switch margin allows it on.
const double kWorseThanAuto = 0.02;
const double kWorseShareAllowed = 0.05;

// One predicted Q per candidate of one data set (all features of one set).
std::vector<double> predictQ(const ChoiceModel& model, const std::vector<FeatureVector>& features);

// The index of the highest prediction (the first on ties); 0 when empty.
size_t chooseCandidate(const ChoiceModel& model, const std::vector<FeatureVector>& features);

// Reads a model file: every field present, the features named as this
// program computes them, in order, every number finite and each scale above
// 0. False with the file and the fault in *error.
bool readChoiceModel(const std::string& path, ChoiceModel* model, std::string* error);
bool parseChoiceModel(const std::string& text, ChoiceModel* model, std::string* error);

std::string formatChoiceModel(const ChoiceModel& model);

}  // namespace advice

#endif
