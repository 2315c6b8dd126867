// Fitting the learnt choice (advice/choice_model.h) in the
// cross-validation: the weights come from a small grid, fitted to the mean
// Q of the chosen candidate on training data sets.
#ifndef ALNTRAIN_CHOICE_FIT_H
#define ALNTRAIN_CHOICE_FIT_H

#include <vector>

#include "advice/choice_model.h"

namespace alntrain {

// One data set: its valid candidates' features and Q.
struct ChoiceExample {
  std::vector<advice::CandidateFeatures> candidates;
  std::vector<double> q;
};

// The grid weights whose choice has the highest mean Q over the examples;
// plain agreement unless a model beats it by more than 0.002.
advice::ChoiceModel fitChoiceModel(const std::vector<ChoiceExample>& examples);

double meanChosenQ(const advice::ChoiceModel& model, const std::vector<ChoiceExample>& examples);

}  // namespace alntrain

#endif
