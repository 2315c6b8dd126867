// Fitting the learnt choice, its rank correlation, and its
// cross-validation: a model is only judged on data sets it was not fitted
// on, and becomes the default only when it beats plain agreement there.
#include "training/choice_fit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "training/cross_validation.h"

namespace training {
namespace {

using advice::ChoiceModel;
using advice::FeatureVector;

FeatureVector candidate(double agreement, double reverse, double gapOpens = 0) {
  FeatureVector f{};
  f[advice::kAgreement] = agreement;
  f[advice::kReverse] = reverse;
  f[advice::kGapOpens] = gapOpens;
  return f;
}

// Plain agreement picks the first candidate; the better one has the higher
// reverse agreement.
ChoiceExample misleading(double shift) {
  ChoiceExample e;
  e.candidates = {candidate(0.9 + shift, 0.2), candidate(0.8 + shift, 0.9),
                  candidate(0.7 + shift, 0.5)};
  e.q = {0.5 + shift, 0.7 + shift, 0.6 + shift};
  return e;
}

TEST(ChoiceFit, LearnsWhatPlainAgreementMisses) {
  const std::vector<ChoiceExample> sets = {misleading(0), misleading(0.05), misleading(-0.05)};
  EXPECT_DOUBLE_EQ(chosenQ(ChoiceModel::plain(), sets[0]), 0.5);
  const ChoiceModel m = fitChoiceModel(sets);
  EXPECT_GT(m.weight[advice::kReverse], 0);
  EXPECT_EQ(m.dataSets, 3);
  EXPECT_EQ(m.candidates, 9);
  for (const ChoiceExample& e : sets) EXPECT_DOUBLE_EQ(chosenQ(m, e), e.q[1]);
  // The level follows the sets' mean Q: here mean Q = mean agreement - 0.2.
  const std::vector<double> p = advice::predictQ(m, sets[0].candidates);
  EXPECT_NEAR((p[0] + p[1] + p[2]) / 3, 0.6, 1e-9);
  EXPECT_GT(p[1], p[0]);
  // A set of one candidate teaches nothing; nothing at all gives the plain
  // model.
  ChoiceExample lone;
  lone.candidates = {candidate(1, 1)};
  lone.q = {0.9};
  const ChoiceModel none = fitChoiceModel({lone});
  EXPECT_EQ(none.weight, ChoiceModel::plain().weight);
  EXPECT_DOUBLE_EQ(chosenQ(none, ChoiceExample()), 0);
}

TEST(ChoiceFit, SpearmanWithTies) {
  EXPECT_NEAR(spearman({1, 2, 3}, {10, 20, 30}), 1, 1e-12);
  EXPECT_NEAR(spearman({1, 2, 3}, {3, 2, 1}), -1, 1e-12);
  EXPECT_NEAR(spearman({1, 1, 2, 3}, {1, 2, 3, 4}), 0.9486832980505138, 1e-12);
  EXPECT_TRUE(std::isnan(spearman({1, 2}, {1, 2})));
  EXPECT_TRUE(std::isnan(spearman({1, 1, 1}, {1, 2, 3})));
}

HeldOut heldOut(int fold, const ChoiceExample& e) {
  HeldOut h;
  h.fold = fold;
  h.example = e;
  h.agreementQ = chosenQ(ChoiceModel::plain(), e);
  return h;
}

TEST(CrossValidation, FoldsTakeTheDataSetsInTurn) {
  EXPECT_EQ(assignFolds({4, 5, 6, 7, 8}, 2), (std::vector<std::vector<size_t>>{{4, 6, 8}, {5, 7}}));
  EXPECT_EQ(assignFolds({1, 2, 3}, 3), (std::vector<std::vector<size_t>>{{1}, {2}, {3}}));
}

TEST(ChoiceCrossValidation, JudgesEachModelOnSetsItDidNotSee) {
  // Two folds of one set each, teaching opposite lessons: each fold's model
  // learns the other set's lesson and picks the worst candidate of its own
  // set. A model that saw its held-out set would pick better there (and one
  // fitted on both, whose lessons cancel, would take the first candidate:
  // 0.7 on the second set).
  ChoiceExample plainWins = misleading(0);
  plainWins.q = {0.7, 0.5, 0.6};
  std::vector<HeldOut> results = {heldOut(1, misleading(0)), heldOut(2, plainWins)};
  const LearntChoice learnt = learnChoice(&results, 2);
  ASSERT_EQ(learnt.perFold.size(), 2u);
  EXPECT_DOUBLE_EQ(results[0].learntQ, 0.5);
  EXPECT_DOUBLE_EQ(results[1].learntQ, 0.5);
  EXPECT_LT(learnt.perFold[0].weight[advice::kReverse], 0);  // fitted on the second set
  EXPECT_GT(learnt.perFold[1].weight[advice::kReverse], 0);
  const ChoiceModel& m = learnt.all;
  EXPECT_EQ(m.folds, 2);
  EXPECT_EQ(m.crossValidatedSets, 2);
  EXPECT_NEAR(m.agreementQ, (0.5 + 0.7) / 2, 1e-12);
  EXPECT_NEAR(m.learnedQ, 0.5, 1e-12);
  EXPECT_EQ(m.defaultEstimator, advice::Estimator::kAgreement);
}

TEST(ChoiceCrossValidation, LearnedBecomesTheDefaultOnlyWhenItWinsHeldOut) {
  std::vector<HeldOut> results;
  for (int i = 0; i < 4; ++i) results.push_back(heldOut(i % 2 + 1, misleading(0.01 * i)));
  LearntChoice learnt = learnChoice(&results, 2);
  EXPECT_EQ(learnt.all.defaultEstimator, advice::Estimator::kLearned);
  EXPECT_GT(learnt.all.learnedQ, learnt.all.agreementQ);
  EXPECT_GT(learnt.all.learnedSpearman, learnt.all.agreementSpearman);
  // Every set follows agreement: learnt cannot beat it.
  for (HeldOut& h : results) {
    h.example.q = {0.7, 0.5, 0.6};
    h.agreementQ = 0.7;
  }
  learnt = learnChoice(&results, 2);
  EXPECT_EQ(learnt.all.defaultEstimator, advice::Estimator::kAgreement);
}

TEST(ChoiceCrossValidation, EachFoldDecidesTheDefaultWithoutItsOwnSets) {
  // Three folds of one set each. Sets B and C teach the learnt model what
  // plain agreement misses; set A is one where agreement is right.
  ChoiceExample plainWins = misleading(0);
  plainWins.q = {0.7, 0.5, 0.6};
  std::vector<HeldOut> results = {heldOut(1, plainWins), heldOut(2, misleading(0.01)),
                                  heldOut(3, misleading(0.02))};
  const LearntChoice learnt = learnChoice(&results, 3);
  // Fold 1 decides on B and C alone, where learnt wins, and so takes learnt
  // even though it loses on A (a decision that saw A would not). Folds 2 and
  // 3 each see A, where a model fitted on the other misleading set loses
  // 0.2, more than it wins: agreement.
  EXPECT_DOUBLE_EQ(results[0].learntQ, 0.5);
  EXPECT_EQ(learnt.all.nestedFolds, 3);
  EXPECT_EQ(learnt.all.nestedLearnedFolds, 1);
  EXPECT_NEAR(learnt.all.nestedDefaultQ,
              (results[0].learntQ + results[1].agreementQ + results[2].agreementQ) / 3, 1e-12);
  // The file keeps the figures.
  ChoiceModel back;
  std::string error;
  ASSERT_TRUE(advice::parseChoiceModel(advice::formatChoiceModel(learnt.all), &back, &error))
      << error;
  EXPECT_EQ(back.nestedLearnedFolds, 1);
  EXPECT_DOUBLE_EQ(back.nestedDefaultQ, learnt.all.nestedDefaultQ);
}

TEST(ChoiceAgainstMafftAuto, KeepsAutoUnlessBeatenByMoreThanTheMargin) {
  // The plain model predicts each candidate's agreement: #1 is predicted
  // 0.03 above --auto (#0), and truly 0.3 above it.
  ChoiceExample e;
  e.candidates = {candidate(0.80, 0), candidate(0.83, 0), candidate(0.5, 0)};
  e.q = {0.6, 0.9, 0.1};
  e.anchor = 0;
  TopGain top;
  ASSERT_TRUE(topGain(ChoiceModel::plain(), e, &top));
  EXPECT_NEAR(top.predicted, 0.03, 1e-12);
  EXPECT_NEAR(top.gain, 0.3, 1e-12);
  EXPECT_DOUBLE_EQ(keptQ(ChoiceModel::plain(), e, 0.05), 0.6);
  EXPECT_DOUBLE_EQ(keptQ(ChoiceModel::plain(), e, 0.02), 0.9);
  // --auto's alignment failed: the model's choice, and nothing to weigh.
  e.anchor = -1;
  EXPECT_DOUBLE_EQ(keptQ(ChoiceModel::plain(), e, 0.05), 0.9);
  EXPECT_FALSE(topGain(ChoiceModel::plain(), e, &top));
  // --auto is the top: nothing to weigh either.
  e.anchor = 1;
  EXPECT_FALSE(topGain(ChoiceModel::plain(), e, &top));
}

TEST(ChoiceAgainstMafftAuto, TheSmallestMarginThatKeepsLossesRare) {
  // Two switches lose more than 0.02 (predicted 0.01 and 0.04); one of 20
  // sets may. The margin must exclude the switch predicted at 0.01 but not
  // necessarily the one at 0.04: 0.01 leaves one loss.
  const std::vector<TopGain> tops = {{0.01, -0.05}, {0.04, -0.03}, {0.02, 0.1}, {0.03, 0.01}};
  EXPECT_DOUBLE_EQ(smallestSafeMargin(tops, 20), 0.01);
  EXPECT_DOUBLE_EQ(smallestSafeMargin(tops, 40), 0);     // two of 40 are allowed
  EXPECT_DOUBLE_EQ(smallestSafeMargin(tops, 10), 0.04);  // none of 10: never switch
  EXPECT_DOUBLE_EQ(smallestSafeMargin({}, 10), 0);
  // A loss exactly at the limit is not more than it.
  EXPECT_DOUBLE_EQ(smallestSafeMargin({{0.01, -0.02}}, 10), 0);
}

TEST(ChoiceAgainstMafftAuto, AHeldOutSetNeverSetsItsOwnMargin) {
  // Folds 1 and 2 agree: #1 beats --auto (#0). Fold 3's set contradicts
  // them: there --auto is best, and its fold's model, fitted on folds 1 and
  // 2, switches and loses. Its own loss must not raise its margin: judged
  // with the other folds' margin (0: their switches won), the advisor leaves
  // --auto there and loses, and the held-out figures say so; the margin that
  // ships, taken over all three, keeps --auto on that set.
  auto anchored = [](ChoiceExample e) {
    e.anchor = 0;
    return e;
  };
  ChoiceExample autoWins = misleading(0);
  autoWins.q = {0.7, 0.5, 0.6};
  std::vector<HeldOut> results = {heldOut(1, anchored(misleading(0))),
                                  heldOut(2, anchored(misleading(0.05))),
                                  heldOut(3, anchored(autoWins))};
  const LearntChoice learnt = learnChoice(&results, 3);
  const ChoiceModel& m = learnt.all;
  EXPECT_DOUBLE_EQ(results[2].keptQ, 0.5);
  EXPECT_EQ(m.autoSets, 3);
  EXPECT_NEAR(m.autoQ, (0.5 + 0.55 + 0.7) / 3, 1e-12);
  EXPECT_NEAR(m.keptQ, (results[0].keptQ + results[1].keptQ + 0.5) / 3, 1e-12);
  EXPECT_NEAR(m.worseShare, 1.0 / 3, 1e-12);
  ASSERT_TRUE(m.hasSwitchMargin);
  TopGain third;
  ASSERT_TRUE(topGain(learnt.perFold[2], results[2].example, &third));
  EXPECT_GE(m.switchMargin, third.predicted);
  // The model file carries the margin and the figures.
  ChoiceModel read;
  std::string error;
  ASSERT_TRUE(advice::parseChoiceModel(advice::formatChoiceModel(m), &read, &error)) << error;
  EXPECT_TRUE(read.hasSwitchMargin);
  EXPECT_DOUBLE_EQ(read.switchMargin, m.switchMargin);
  EXPECT_DOUBLE_EQ(read.worseShare, m.worseShare);
  EXPECT_EQ(read.autoSets, 3);
}

}  // namespace
}  // namespace training
