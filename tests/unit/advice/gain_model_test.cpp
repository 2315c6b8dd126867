// The gain model: predictions clamped to the trained range, unseen
// configurations, the expected improvement, and the model file.
#include "advice/gain_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "getChar.h"

namespace advice {
namespace {

GainModel oneEntry() {
  GainModel m;
  m.form = GainForm::kLinear;
  m.center = {3, 5, 0.1};
  m.scale = {1, 0.5, 0.05};
  m.low = {1, 4, 0};
  m.high = {5, 7, 0.5};
  GainEntry e;
  e.configuration = runs::makeConfiguration(MUSCLE, "-diags");
  e.intercept = 0.01;
  e.weight = {0.02, 0, 0};
  e.error = 0.03;
  e.dataSets = 12;
  m.entries.push_back(e);
  return m;
}

TEST(GainModel, PredictsWithinTheTrainedRange) {
  const GainModel m = oneEntry();
  const runs::Configuration muscle = runs::makeConfiguration(MUSCLE, "  -diags ");
  GainPrediction p = predictGain(m, muscle, {4, 5, 0.1});
  EXPECT_TRUE(p.seen);
  EXPECT_NEAR(p.gain, 0.03, 1e-12);
  EXPECT_DOUBLE_EQ(p.error, 0.03);
  // Within a spread of the trained range: clamped to it.
  EXPECT_NEAR(predictGain(m, muscle, {5.9, 5, 0.1}).gain, 0.05, 1e-12);
  EXPECT_NEAR(predictGain(m, muscle, {0.1, 5, 0.1}).gain, -0.03, 1e-12);
  // Farther out the model knows nothing: as if it had not seen the
  // configuration.
  p = predictGain(m, muscle, {6.1, 5, 0.1});
  EXPECT_FALSE(p.seen);
  EXPECT_EQ(p.gain, 0);
  EXPECT_DOUBLE_EQ(p.error, 0.03);
  EXPECT_FALSE(predictGain(m, muscle, {4, 5, 0.56}).seen);
  // Not in the model: even with --auto, with the model's largest error.
  p = predictGain(m, runs::makeConfiguration(KALIGN, ""), {4, 5, 0.1});
  EXPECT_FALSE(p.seen);
  EXPECT_EQ(p.gain, 0);
  EXPECT_DOUBLE_EQ(p.error, 0.03);
  // A data set's descriptors from the core's raw features.
  const double features[10] = {100, 250, 50, 0, 0, 1, 2, 3, 4, 5};
  const Descriptors d = describeDataSet(features);
  EXPECT_NEAR(d[0], std::log(100.0), 1e-12);
  EXPECT_NEAR(d[1], std::log(250.0), 1e-12);
  EXPECT_NEAR(d[2], 0.2, 1e-12);
}

TEST(GainModel, ExpectedImprovement) {
  EXPECT_NEAR(expectedImprovement(0, 0.1), 0.1 / std::sqrt(2 * M_PI), 1e-12);
  EXPECT_NEAR(expectedImprovement(0.5, 0.01), 0.5, 1e-9);   // surely better
  EXPECT_NEAR(expectedImprovement(-0.5, 0.01), 0, 1e-9);   // surely worse
  EXPECT_EQ(expectedImprovement(0.02, 0), 0.02);
  EXPECT_EQ(expectedImprovement(-0.02, 0), 0);
  // An unsure candidate can be worth more than a surely slightly better one.
  EXPECT_GT(expectedImprovement(-0.01, 0.05), expectedImprovement(0.005, 0.001));
}

TEST(GainModel, FileRoundTripAndRefusals) {
  const GainModel m = oneEntry();
  const std::string text = formatGainModel(m);
  GainModel back;
  std::string error;
  ASSERT_TRUE(parseGainModel(text, &back, &error)) << error;
  ASSERT_EQ(back.entries.size(), 1u);
  EXPECT_EQ(back.entries[0].configuration, m.entries[0].configuration);
  EXPECT_EQ(back.entries[0].weight, m.entries[0].weight);
  EXPECT_EQ(back.form, GainForm::kLinear);
  EXPECT_EQ(back.high, m.high);
  auto refused = [&](const std::string& from, const std::string& to) {
    std::string changed = text;
    const size_t at = changed.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    changed.replace(at, from.size(), to);
    GainModel out;
    std::string why;
    return !parseGainModel(changed, &out, &why) && !why.empty();
  };
  EXPECT_TRUE(refused("\"MUSCLE\"", "\"MUSCLE7\""));
  EXPECT_TRUE(refused("\"linear\"", "\"cubic\""));
  EXPECT_TRUE(refused("\"logLength\"", "\"length\""));
  EXPECT_TRUE(refused("0.05", "0"));    // a scale of 0
  EXPECT_TRUE(refused("0.03,", "-0.03,"));  // a negative error
  EXPECT_FALSE(parseGainModel(text.substr(0, text.size() / 2), &back, &error));
  EXPECT_FALSE(readGainModel("/nonexistent/gain-model.json", &back, &error));
  EXPECT_NE(error.find("/nonexistent/gain-model.json"), std::string::npos);
}

}  // namespace
}  // namespace advice
