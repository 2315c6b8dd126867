// The learnt choice: features of hand-made alignments, and a fit that only
// leaves plain agreement when it pays.
#include "alntrain/choice_fit.h"

#include <gtest/gtest.h>

namespace alntrain {
namespace {

using advice::CandidateFeatures;
using advice::candidateFeatures;
using advice::ChoiceModel;
using advice::chooseCandidate;

TEST(ChoiceModel, FeaturesOfHandMadeAlignments) {
  const std::vector<std::string> names = {"s1", "s2", "s3"};
  // a aligns every column; b aligns s1 with s2 only; c too, wider.
  const std::vector<std::string> a = {"ACD", "ACD", "ACD"};
  const std::vector<std::string> b = {"ACD---", "ACD---", "---ACD"};
  const std::vector<std::string> c = {"ACD----", "ACD----", "----ACD"};
  std::vector<CandidateFeatures> f;
  ASSERT_TRUE(candidateFeatures(names, {&a, &b, &c}, &f));
  // a's 9 pairs: b and c keep the 3 of s1-s2.
  EXPECT_NEAR(f[0].plain, 3.0 / 9, 1e-12);
  // b's 3 pairs are all kept by a and c, and a keeps everyone's.
  EXPECT_NEAR(f[1].plain, 1.0, 1e-12);
  EXPECT_NEAR(f[0].reverse, 1.0, 1e-12);
  EXPECT_NEAR(f[2].reverse, (3.0 / 9 + 1.0) / 2, 1e-12);
  EXPECT_LT(f[0].gapExcess, 0);
  EXPECT_GT(f[2].widthExcess, f[1].widthExcess);
  EXPECT_FALSE(candidateFeatures(names, {&a}, &f));
}

TEST(ChoiceModel, FitsOnlyWhenItBeatsPlainAgreement) {
  // Plain agreement picks candidate 0; the better one has more reverse
  // agreement.
  ChoiceExample e;
  CandidateFeatures high, low;
  high.plain = 0.9;
  high.reverse = 0.2;
  low.plain = 0.8;
  low.reverse = 0.9;
  e.candidates = {high, low};
  e.q = {0.5, 0.7};
  EXPECT_EQ(chooseCandidate(ChoiceModel(), e.candidates), 0u);
  const ChoiceModel fitted = fitChoiceModel({e, e});
  EXPECT_GT(fitted.reverse, 0);
  EXPECT_DOUBLE_EQ(meanChosenQ(fitted, {e}), 0.7);
  // Nothing to gain: plain agreement stays.
  e.q = {0.7, 0.5};
  const ChoiceModel plain = fitChoiceModel({e});
  EXPECT_EQ(plain.reverse, 0);
  EXPECT_EQ(plain.gaps, 0);
  EXPECT_EQ(plain.width, 0);
}

}  // namespace
}  // namespace alntrain
