// The learnt choice's features of hand-made alignments, its predictions and
// its model file.
#include "advice/choice_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace advice {
namespace {

const std::vector<std::string> kNames = {"s1", "s2", "s3"};

TEST(CandidateFeatures, AgreementCountsEachAlignerOnce) {
  // a aligns every column; b and c (one aligner, the same alignment) align
  // s1 with s2 only.
  const std::vector<std::string> a = {"ACD", "ACD", "ACD"};
  const std::vector<std::string> b = {"ACD---", "ACD---", "---ACD"};
  const std::vector<std::string> c = b;
  std::vector<FeatureVector> f;
  ASSERT_TRUE(candidateFeatures(kNames, {&a, &b, &c}, {3, 4, 4}, &f));
  // a's 9 pairs: b and c keep the 3 of s1-s2; b's 3 are kept by a and c.
  EXPECT_NEAR(f[0][kAgreement], 3.0 / 9, 1e-12);
  EXPECT_NEAR(f[1][kAgreement], 1.0, 1e-12);
  EXPECT_NEAR(f[0][kReverse], 1.0, 1e-12);
  // For b, aligner 3 (a) and aligner 4 (c) count once each; c's vote does
  // not count twice as for plain agreement.
  EXPECT_NEAR(f[1][kKindBalanced], 1.0, 1e-12);
  EXPECT_NEAR(f[1][kOtherKinds], 1.0, 1e-12);
  EXPECT_NEAR(f[0][kKindBalanced], 3.0 / 9, 1e-12);
  // Four candidates: a, b, c of aligner 4 and d of 3; a's plain agreement
  // is pulled up by its two look-alikes, its other-aligner agreement not.
  const std::vector<std::string> d = a;
  ASSERT_TRUE(candidateFeatures(kNames, {&b, &c, &c, &d}, {4, 4, 4, 3}, &f));
  EXPECT_NEAR(f[0][kAgreement], 1.0, 1e-12);
  EXPECT_NEAR(f[0][kOtherKinds], 1.0, 1e-12);
  EXPECT_NEAR(f[3][kAgreement], 3.0 / 9, 1e-12);
  EXPECT_NEAR(f[3][kKindBalanced], 3.0 / 9, 1e-12);
  // Every candidate of one aligner: other-aligner agreement falls back.
  ASSERT_TRUE(candidateFeatures(kNames, {&a, &b}, {2, 2}, &f));
  EXPECT_EQ(f[0][kOtherKinds], f[0][kAgreement]);
  EXPECT_FALSE(candidateFeatures(kNames, {&a}, {2}, &f));
  EXPECT_FALSE(candidateFeatures(kNames, {&a, &b}, {2}, &f));
  const std::vector<std::string> ragged = {"ACD", "AC", "ACD"};
  EXPECT_FALSE(candidateFeatures(kNames, {&a, &ragged}, {2, 3}, &f));
}

TEST(CandidateFeatures, ShapeOfOneAlignment) {
  // Leading and trailing gaps are not gap opens; the internal run of two in
  // row 2 is one open of length 2 over 12 residues.
  const FeatureVector f = alignmentShapeFeatures({"-ACDE", "AC--E", "AKDE-"});
  EXPECT_NEAR(f[kGapOpens], 1.0 / 11, 1e-12);
  EXPECT_NEAR(f[kGapLength], 2.0, 1e-12);
  EXPECT_NEAR(f[kGappedColumns], 4.0 / 5, 1e-12);
  EXPECT_NEAR(f[kWidth], 5.0 / 4, 1e-12);
  // Rows 1-2 align columns 2 and 5 (A/C, E/E): 1 of 2; rows 1-3 columns
  // 2-4 (A/K, C/D, D/E): 0 of 3; rows 2-3 columns 1, 2 (A/A, C/K): 1 of 2.
  EXPECT_NEAR(f[kIdentity], (0.5 + 0.0 + 0.5) / 3, 1e-12);
  // Columns with two or more residues: A,A | A,C,K | C,D | D,E | E,E -> the
  // most common residue 2+1+1+1+2 of 2+3+2+2+2.
  EXPECT_NEAR(f[kConservation], 7.0 / 11, 1e-12);
  // Lower case counts as its residue.
  EXPECT_NEAR(alignmentShapeFeatures({"ac", "AC"})[kIdentity], 1.0, 1e-12);
}

TEST(ChoiceModel, PlainModelPredictsAgreement) {
  std::vector<FeatureVector> f(3, FeatureVector{});
  f[0][kAgreement] = 0.5;
  f[1][kAgreement] = 0.9;
  f[2][kAgreement] = 0.7;
  f[0][kReverse] = 10;  // not weighed by the plain model
  const std::vector<double> p = predictQ(ChoiceModel::plain(), f);
  EXPECT_NEAR(p[0], 0.5, 1e-12);
  EXPECT_NEAR(p[1], 0.9, 1e-12);
  EXPECT_EQ(chooseCandidate(ChoiceModel::plain(), f), 1u);
  ChoiceModel reverse = ChoiceModel::plain();
  reverse.weight[kReverse] = 1;
  reverse.scale[kReverse] = 2;
  EXPECT_EQ(chooseCandidate(reverse, f), 0u);
  EXPECT_EQ(chooseCandidate(reverse, {}), 0u);
}

TEST(ChoiceModel, FileRoundTripAndRefusals) {
  ChoiceModel m = ChoiceModel::plain();
  m.weight[kGapOpens] = -0.25;
  m.scale[kIdentity] = 0.125;
  m.intercept = 0.1;
  m.slope = 0.75;
  m.dataSets = 40;
  m.folds = 5;
  m.learnedQ = 0.8;
  m.defaultEstimator = Estimator::kLearned;
  m.hasSwitchMargin = true;
  m.switchMargin = 0.0375;
  m.efforts = {{"fast", 0.0625, 29, 0.78, 0.79, 0.0, 5}};
  const std::string text = formatChoiceModel(m);
  ChoiceModel back;
  std::string error;
  ASSERT_TRUE(parseChoiceModel(text, &back, &error)) << error;
  EXPECT_EQ(back.weight, m.weight);
  EXPECT_EQ(back.scale, m.scale);
  EXPECT_EQ(back.slope, 0.75);
  EXPECT_EQ(back.defaultEstimator, Estimator::kLearned);
  EXPECT_EQ(back.dataSets, 40);
  EXPECT_EQ(back.switchMargin, 0.0375);
  ASSERT_NE(back.findEffort("fast"), nullptr);
  EXPECT_EQ(back.findEffort("fast")->switchMargin, 0.0625);
  EXPECT_EQ(back.findEffort("default"), nullptr);

  auto refused = [&](const std::string& from, const std::string& to) {
    std::string changed = text;
    const size_t at = changed.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    changed.replace(at, from.size(), to);
    ChoiceModel out;
    std::string why;
    return !parseChoiceModel(changed, &out, &why) && !why.empty();
  };
  EXPECT_TRUE(refused("\"gapOpens\"", "\"gapRuns\""));  // another program's features
  EXPECT_TRUE(refused("\"learned\"", "\"best\""));
  EXPECT_TRUE(refused("0.125", "0"));     // a scale of 0 would divide by zero
  EXPECT_TRUE(refused("0.125", "\"x\""));
  EXPECT_TRUE(refused("\"slope\": 0.75", "\"slope\": null"));
  EXPECT_TRUE(refused("\"folds\": 5,", ""));
  // Counts are whole numbers that fit: a huge or fractional one must not be cast.
  EXPECT_TRUE(refused("\"folds\": 5,", "\"folds\": 6.66667e+34,"));
  EXPECT_TRUE(refused("\"folds\": 5,", "\"folds\": 2.5,"));
  EXPECT_TRUE(refused("\"folds\": 5,", "\"folds\": -5,"));
  EXPECT_TRUE(refused("\"folds\": 5,", "\"folds\": 4294967297,"));
  // A margin outside [0, 1) would keep --auto always, or never.
  EXPECT_TRUE(refused("0.0375", "-0.0375"));
  EXPECT_TRUE(refused("0.0375", "1.5"));
  EXPECT_TRUE(refused("0.0625", "-1"));  // an effort's margin as the general one
  // Files fitted before the margins existed still read: no margin.
  ChoiceModel withoutMargins = m;
  withoutMargins.efforts.clear();
  std::string older = formatChoiceModel(withoutMargins);
  older.erase(older.find("\"switchMargin\""), std::string("\"switchMargin\": 0.0375,").size());
  ChoiceModel old;
  ASSERT_TRUE(parseChoiceModel(older, &old, &error)) << error;
  EXPECT_FALSE(old.hasSwitchMargin);
  EXPECT_TRUE(old.efforts.empty());
  EXPECT_FALSE(parseChoiceModel(text.substr(0, text.size() / 2), &back, &error));
  EXPECT_FALSE(readChoiceModel("/nonexistent/choice-model.json", &back, &error));
  EXPECT_NE(error.find("/nonexistent/choice-model.json"), std::string::npos);
}

}  // namespace
}  // namespace advice
