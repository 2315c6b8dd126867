// Fitting the learnt choice (advice/choice_model.h) on data sets whose
// candidates' Q is known. Each data set counts once, whatever its number
// of candidates:
//   level    least squares of the sets' mean Q on their mean agreement
//   within   ridge regression of each candidate's Q minus its set's mean on
//            its features minus theirs, each divided by its pooled spread
//            (penalty kRidge per data set on the squared weights)
#ifndef TRAINING_CHOICE_FIT_H
#define TRAINING_CHOICE_FIT_H

#include <vector>

#include "advice/choice_model.h"

namespace training {

// One data set: its valid candidates' features and Q.
struct ChoiceExample {
  std::vector<advice::FeatureVector> candidates;
  std::vector<double> q;
  int anchor = -1;  // MAFFT --auto's candidate; -1 when it produced nothing
};

const double kRidge = 0.1;

// Data sets with fewer than two candidates teach nothing and are skipped;
// with none left the plain model comes back.
advice::ChoiceModel fitChoiceModel(const std::vector<ChoiceExample>& examples);

// Q of the candidate the model chooses, per example (0 for an empty one).
double chosenQ(const advice::ChoiceModel& model, const ChoiceExample& example);

// The model's top candidate against --auto on one data set: its predicted
// and its true gain in Q. False without an anchor, or when the top is --auto.
struct TopGain {
  double predicted = 0, gain = 0;
};
bool topGain(const advice::ChoiceModel& model, const ChoiceExample& example, TopGain* top);

// Q of the advisor's choice: --auto's unless the model's top candidate is
// predicted above it by more than margin (the model's choice without an
// anchor).
double keptQ(const advice::ChoiceModel& model, const ChoiceExample& example, double margin);

// The smallest margin (0 or one of the predicted gains) at which switching
// away from --auto leaves at most advice::kWorseShareAllowed of `sets` data
// sets more than advice::kWorseThanAuto below --auto (tops: those of the
// sets where the top is another candidate).
double smallestSafeMargin(const std::vector<TopGain>& tops, size_t sets);

// Switching away from --auto, held out: examples[i] lies in fold folds[i]
// (1-based) and is judged by perFold[folds[i] - 1] with the margin taken
// over the other folds' examples alone, so that its own outcome never sets
// its threshold. The margin over every example is the one that ships.
struct SwitchJudgement {
  double margin = 0;
  std::vector<double> kept;                     // per example: keptQ with its margin
  int anchored = 0;                             // examples where --auto produced an alignment
  double autoQ = 0, keptQ = 0, worseShare = 0;  // means over those
};
SwitchJudgement judgeSwitching(const std::vector<ChoiceExample>& examples,
                               const std::vector<int>& folds,
                               const std::vector<advice::ChoiceModel>& perFold);

// Spearman's rank correlation of x and y (mid-ranks for ties); NaN with
// fewer than three values or when either is constant.
double spearman(const std::vector<double>& x, const std::vector<double>& y);

}  // namespace training

#endif
