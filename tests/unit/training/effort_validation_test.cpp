// Each effort judged on the candidates its budget runs: the choice among two
// alignments (default) is not the choice among three (thorough).
#include "training/effort_validation.h"

#include <gtest/gtest.h>

#include "getChar.h"

namespace training {
namespace {

advice::CandidateResult run(int kind, const std::string& options, double q,
                            std::vector<std::string> rows) {
  advice::CandidateResult r;
  r.candidate.configuration = runs::makeConfiguration(kind, options);
  r.valid = r.hasQ = true;
  r.q = q;
  r.rows = std::move(rows);
  return r;
}

advice::CostModel costModel() {
  advice::CostModel m;
  for (const auto& [family, seconds] :
       std::vector<std::pair<std::string, double>>{{"kalign", 0.1}, {"muscle", 0.8}}) {
    advice::CostFamily f;
    f.name = family;
    f.startSeconds = seconds;
    f.logA = -50;
    f.b = f.c = 0;
    m.families.push_back(f);
  }
  advice::CostFamily automatic = m.families[0];
  automatic.name = "mafft-auto-linsi";
  m.families.push_back(automatic);
  return m;
}

TEST(EffortValidation, JudgesWhatEachBudgetRuns) {
  std::vector<BenchmarkSet> sets(4);
  std::vector<HeldOut> results;
  for (size_t s = 0; s < sets.size(); ++s) {
    sets[s].data.names = {"a", "b", "c"};
    sets[s].data.residues = {"ACDE", "ACE", "ADE"};
    const double features[10] = {3, 3.3, 0.5, 0, 0, 1, 1, 1, 0, 0};
    std::copy(features, features + 10, sets[s].features);
    HeldOut h;
    h.set = s;
    h.fold = static_cast<int>(s % 2) + 1;
    h.anchored = true;
    h.runs = {run(MAFFT, "--auto", 0.5, {"ACDE", "AC-E", "A-DE"}),
              run(KALIGN, "", 0.9, {"ACDE", "A-CE", "A-DE"}),
              run(MUSCLE, "", 0.6, {"ACDE", "A-CE", "A-DE"})};
    results.push_back(h);
  }
  // The last set's Kalign run failed.
  results[3].runs[1].valid = false;
  LearntChoice learnt;
  learnt.perFold.assign(2, advice::ChoiceModel::plain());
  advice::GainModel gains;
  advice::GainEntry kalign;
  kalign.configuration = runs::makeConfiguration(KALIGN, "");
  kalign.intercept = 0.1;
  kalign.error = 0.05;
  gains.entries = {kalign};
  const std::vector<advice::EffortCheck> checks =
      validateEfforts(results, sets, learnt, {gains, gains}, costModel(), 2);
  ASSERT_EQ(checks.size(), 3u);
  EXPECT_EQ(checks[0].effort, "fast");
  for (const advice::EffortCheck& c : checks) {
    EXPECT_EQ(c.dataSets, 4) << c.effort;
    EXPECT_DOUBLE_EQ(c.autoQ, 0.5) << c.effort;
  }
  // Fast (1.25 times --auto's 0.07 s on two threads) has room for --auto
  // alone. Default (0.14 s) runs Kalign's 0.1 s beside it, not MUSCLE's
  // 0.8 s: --auto and Kalign agree with each other alike, and --auto's
  // alignment is kept.
  EXPECT_DOUBLE_EQ(checks[0].meanRuns, 1);
  EXPECT_DOUBLE_EQ(checks[0].keptQ, 0.5);
  EXPECT_DOUBLE_EQ(checks[1].meanRuns, 2);
  EXPECT_DOUBLE_EQ(checks[1].keptQ, 0.5);
  // Thorough (2 s) runs MUSCLE too, whose alignment is Kalign's: the choice
  // moves to Kalign (0.9) on the three sets where it ran; where it failed,
  // --auto and MUSCLE tie and --auto's 0.5 stays.
  EXPECT_DOUBLE_EQ(checks[2].meanRuns, 3);
  EXPECT_DOUBLE_EQ(checks[2].keptQ, (3 * 0.9 + 0.5) / 4);
}

}  // namespace
}  // namespace training
