// Fitting the learnt choice, its rank correlation, and its
// cross-validation: a model is only judged on data sets it was not fitted
// on, and becomes the default only when it beats plain agreement there.
#include "alntrain/choice_fit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "alntrain/cross_validation.h"

namespace alntrain {
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

TEST(ChoiceCrossValidation, JudgesEachModelOnSetsItDidNotSee) {
  // Fold 1 and 2 teach the reverse lesson; fold 3's set follows plain
  // agreement and was never seen by its fold's model, which still picks by
  // reverse agreement there and loses.
  ChoiceExample plainWins = misleading(0);
  plainWins.q = {0.7, 0.5, 0.6};
  std::vector<HeldOut> results = {heldOut(1, misleading(0)), heldOut(2, misleading(0.05)),
                                  heldOut(3, plainWins)};
  const LearntChoice learnt = learnChoice(&results, 3);
  ASSERT_EQ(learnt.perFold.size(), 3u);
  EXPECT_DOUBLE_EQ(results[2].learntQ, 0.5);
  EXPECT_GT(learnt.perFold[2].weight[advice::kReverse], 0);
  // Folds 1 and 2 were fitted with a set that contradicts them: whatever
  // they choose, every learnt Q is one of the held-out set's own.
  for (const HeldOut& h : results) {
    bool own = false;
    for (double q : h.example.q) own = own || q == h.learntQ;
    EXPECT_TRUE(own);
  }
  const ChoiceModel& m = learnt.all;
  EXPECT_EQ(m.folds, 3);
  EXPECT_EQ(m.crossValidatedSets, 3);
  EXPECT_NEAR(m.agreementQ, (0.5 + 0.55 + 0.7) / 3, 1e-12);
  EXPECT_EQ(m.defaultEstimator, m.learnedQ >= m.agreementQ + kLearnedMargin
                                    ? advice::Estimator::kLearned
                                    : advice::Estimator::kAgreement);
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

}  // namespace
}  // namespace alntrain
