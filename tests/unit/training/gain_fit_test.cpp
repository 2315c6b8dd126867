// Fitting the gain model: the linear form finds a real trend, is kept only
// when it beats each configuration's mean held out, and every error is held
// out.
#include "training/gain_fit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "getChar.h"

namespace training {
namespace {

const runs::Configuration kMuscle = runs::makeConfiguration(MUSCLE, "");
const runs::Configuration kKalign = runs::makeConfiguration(KALIGN, "");

// MUSCLE gains with the size (0.01 per unit of ln N); Kalign's gain is
// noise around -0.02.
std::vector<GainExample> examples(int n) {
  std::vector<GainExample> out;
  for (int i = 0; i < n; ++i) {
    GainExample e;
    e.descriptors = {1.0 + 0.5 * i, 5 + 0.1 * (i % 3), 0.1};
    e.gain[kMuscle.label()] = 0.01 * e.descriptors[0] - 0.04;
    e.gain[kKalign.label()] = -0.02 + (i % 2 ? 0.01 : -0.01);
    out.push_back(e);
  }
  return out;
}

const std::map<std::string, runs::Configuration> kConfigurations = {{kMuscle.label(), kMuscle},
                                                                    {kKalign.label(), kKalign}};

TEST(GainFit, KeepsTheLinearFormOnlyWhenItEarnsItsPlace) {
  advice::GainModel m = crossValidatedGainModel(examples(16), kConfigurations, 4);
  EXPECT_EQ(m.form, advice::GainForm::kLinear);
  EXPECT_LT(m.linearError, m.meanError - kLinearGainMargin);
  EXPECT_EQ(m.dataSets, 16);
  const advice::Descriptors big = {8, 5.1, 0.1};
  // The trend, 0.01 per unit from the mean gain 0.0075 at ln N 4.75, shrunk
  // by the ridge (descriptors scaled to unit spread: by 1 + kGainRidge).
  EXPECT_NEAR(advice::predictGain(m, kMuscle, big).gain,
              0.0075 + 0.01 * (8 - 4.75) / (1 + kGainRidge), 1e-4);
  // Held-out errors: Kalign's noise shows, MUSCLE's trend is nearly exact.
  EXPECT_GT(m.find(kKalign)->error, 0.005);
  EXPECT_LT(m.find(kMuscle)->error, m.find(kKalign)->error);
  // No trend anywhere: the mean form.
  std::vector<GainExample> flat = examples(16);
  for (GainExample& e : flat)
    e.gain[kMuscle.label()] = 0.01 * (static_cast<int>(e.descriptors[0] * 2) % 3);
  m = crossValidatedGainModel(flat, kConfigurations, 4);
  EXPECT_EQ(m.form, advice::GainForm::kMean);
  EXPECT_EQ(m.find(kMuscle)->weight, advice::Descriptors{});
}

TEST(GainFit, ErrorsAreHeldOut) {
  // One set far off its configuration's trend: fitted on every set, its
  // residual shrinks; held out, it shows in full.
  std::vector<GainExample> sets = examples(8);
  sets[3].gain[kKalign.label()] = 0.3;
  const advice::GainModel all = fitGainModel(sets, kConfigurations, advice::GainForm::kMean);
  const double inSample = std::fabs(all.find(kKalign)->intercept - 0.3);
  const advice::GainModel cv = crossValidatedGainModel(sets, kConfigurations, 8);
  EXPECT_GT(cv.find(kKalign)->error * std::sqrt(8.0), inSample);
  // Gains are floored: a failed run is no worse than kGainFloor.
  EXPECT_EQ(flooredGain(0, 0.9), advice::kGainFloor);
  EXPECT_NEAR(flooredGain(0.85, 0.8), 0.05, 1e-12);
}

}  // namespace
}  // namespace training
