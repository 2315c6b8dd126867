// The cost model's fit and file, and the choice of runs within a budget.
#include <gtest/gtest.h>

#include <cmath>

#include "advice/budget.h"
#include "advice/cost_model.h"
#include "getChar.h"

namespace advice {
namespace {

runs::Configuration mafft(const std::string& options) {
  return runs::makeConfiguration(MAFFT, options);
}

TEST(CostModel, FamiliesFollowTheStrategyAndMafftAutoItsSize) {
  EXPECT_EQ(costFamily(mafft("--localpair --maxiterate 1000"), 50, 300), "mafft-consistency");
  EXPECT_EQ(costFamily(mafft("--maxiterate 2 --op 2"), 50, 300), "mafft-iterative");
  EXPECT_EQ(costFamily(mafft("--retree 1"), 50, 300), "mafft-progressive");
  EXPECT_EQ(costFamily(mafft("--dpparttree"), 50, 300), "mafft-dpparttree");
  EXPECT_EQ(costFamily(mafft("--parttree"), 50, 300), "mafft-parttree");
  EXPECT_TRUE(quadraticMemory("mafft-progressive"));
  EXPECT_FALSE(quadraticMemory("mafft-memsave"));
  // --auto has a family of its own per strategy it picks (mafft_auto.h).
  EXPECT_EQ(costFamily(mafft("--auto"), 50000, 300), "mafft-auto-memsave");
  EXPECT_FALSE(quadraticMemory("mafft-auto-memsave"));
  EXPECT_TRUE(quadraticMemory("mafft-auto-fftns2"));
  EXPECT_EQ(costFamily(mafft("--auto"), 99, 2999), "mafft-auto-linsi");
  EXPECT_EQ(costFamily(mafft("--auto"), 100, 999), "mafft-auto-linsi2");
  EXPECT_EQ(costFamily(mafft("--auto"), 32, 825, 4548), "mafft-auto-fftnsi");  // by the longest
  EXPECT_EQ(costFamily(mafft("--auto"), 150, 1200), "mafft-auto-fftnsi");
  EXPECT_EQ(costFamily(mafft("--auto"), 5000, 300), "mafft-auto-fftns2");
  EXPECT_EQ(costFamily(mafft("--auto"), 200000, 300), "mafft-auto-parttree");
  EXPECT_EQ(costFamily(runs::makeConfiguration(MUSCLE, "-maxiters 2"), 9, 9), "muscle-fast");
  EXPECT_EQ(costFamily(runs::makeConfiguration(MUSCLE, "-maxiters 8"), 9, 9), "muscle");
}

// --auto's own family where the model has it, else the strategy's; the
// speed factor of a calibration multiplies every expectation.
TEST(CostModel, MafftAutoFallsBackToItsStrategyAndTheSpeedFactorScales) {
  CostModel m;
  CostFamily consistency;
  consistency.name = "mafft-consistency";
  consistency.startSeconds = 1;
  consistency.logA = -100;
  m.families.push_back(consistency);
  EXPECT_NEAR(expectedSeconds(m, mafft("--auto"), 10, 100), 1, 1e-9);
  CostFamily own = consistency;
  own.name = "mafft-auto-linsi";
  own.startSeconds = 0.4;
  m.families.push_back(own);
  EXPECT_NEAR(expectedSeconds(m, mafft("--auto"), 10, 100), 0.4, 1e-9);
  EXPECT_NEAR(expectedSeconds(m, mafft("--genafpair"), 10, 100), 1, 1e-9);
  m.speedFactor = 2.5;
  EXPECT_NEAR(expectedSeconds(m, mafft("--auto"), 10, 100), 1, 1e-9);
  // A family unknown to the model is the slowest known, scaled once.
  EXPECT_NEAR(expectedSeconds(m, "nosuch", 10, 100), 2.5, 1e-9);
  EXPECT_EQ(formatCostModel(m).find("speedFactor"), std::string::npos);  // not the model's
}

// Runs timed exactly on t = 0.1 + 1e-6 N^2 L are fitted back, held out
// too; the file written is read back the same.
TEST(CostModel, FitRecoversAPowerLawAndSurvivesItsFile) {
  std::vector<TimedRun> runs;
  int set = 0;
  for (int n : {10, 30, 100, 300, 1000})
    for (double length : {100.0, 400.0}) {
      TimedRun r;
      r.family = "kalign";
      r.dataSet = "d" + std::to_string(set++);
      r.sequences = n;
      r.meanLength = length;
      r.seconds = 0.1 + 1e-6 * n * n * length;
      r.hasQ = true;
      r.q = 0.5;
      runs.push_back(r);
    }
  const CostModel m = fitCostModel(runs);
  ASSERT_EQ(m.families.size(), 1u);
  EXPECT_NEAR(m.families[0].b, 2, 0.1);
  EXPECT_NEAR(m.families[0].c, 1, 0.25);  // drawn a little towards 1.5
  EXPECT_NEAR(m.families[0].meanQ, 0.5, 1e-9);
  EXPECT_LT(m.families[0].p90Error, 1.3);
  const double expected = 0.1 + 1e-6 * 3000.0 * 3000 * 250;
  const double predicted =
      expectedSeconds(m, runs::makeConfiguration(KALIGN, ""), 3000, 250);
  EXPECT_NEAR(predicted / expected, 1, 0.3);

  CostModel back;
  std::string error;
  ASSERT_TRUE(parseCostModel(formatCostModel(m), &back, &error)) << error;
  EXPECT_DOUBLE_EQ(expectedSeconds(back, "kalign", 3000, 250), predicted);
  // A family the model does not hold is never taken for cheap.
  EXPECT_GE(expectedSeconds(back, "dialigntx", 3000, 250), predicted);
}

// A family run only on easy data sets is compared with the reference
// family there, not taken for better than it is.
TEST(CostModel, MeanQIsPairedWithTheReferenceFamily) {
  std::vector<TimedRun> runs;
  auto add = [&](const char* family, const char* set, double q) {
    TimedRun r;
    r.family = family;
    r.dataSet = set;
    r.sequences = 10;
    r.meanLength = 100;
    r.seconds = 1;
    r.hasQ = true;
    r.q = q;
    runs.push_back(r);
  };
  add(kReferenceFamily, "easy", 0.9);
  add(kReferenceFamily, "hard", 0.5);
  add("mafft-parttree", "easy", 0.85);
  add("kalign", "elsewhere", 0.6);
  const CostModel m = fitCostModel(runs);
  EXPECT_NEAR(m.find("mafft-parttree")->meanQ, 0.7 - 0.05, 1e-9);
  EXPECT_NEAR(m.find("kalign")->meanQ, 0.6, 1e-9);  // nothing shared: its own mean
  EXPECT_NEAR(m.find(kReferenceFamily)->meanQ, 0.7, 1e-9);
  // The memory-saving tree, never timed, is valued (and timed) as MAFFT's default.
  EXPECT_EQ(m.find("mafft-memsave"), m.find(kReferenceFamily));
}

TEST(CostModel, MalformedFilesAreRefused) {
  const std::string good =
      "{\"floorSeconds\": 0.05, \"families\": [{\"family\": \"kalign\", \"startSeconds\": 0, "
      "\"logA\": -9, \"b\": 1, \"c\": 1, \"runs\": 3, \"dataSets\": 3, \"sequences\": [4, 9], "
      "\"large\": null, \"meanQ\": 0.6, \"heldOutError\": {\"median\": 1.1, \"p90\": 1.5}}]}";
  CostModel m;
  std::string error;
  ASSERT_TRUE(parseCostModel(good, &m, &error)) << error;
  auto bad = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return !parseCostModel(text, &m, &error);
  };
  EXPECT_TRUE(bad("\"b\": 1", "\"b\": 7"));
  EXPECT_TRUE(bad("\"logA\": -9", "\"logA\": \"x\""));
  EXPECT_TRUE(bad("\"startSeconds\": 0", "\"startSeconds\": -1"));
  EXPECT_TRUE(bad("}]}", "}, {\"family\": \"kalign\"}]}"));
  EXPECT_TRUE(bad("{\"floorSeconds\"", "[{\"floorSeconds\""));
  EXPECT_FALSE(readCostModel("/nonexistent/cost-model.json", &m, &error));
}

TEST(Budget, PacksTheBestValueAndAlwaysRunsOne) {
  // value per second: #1 0.8/10, #2 0.6/1, #3 0.7/4, #4 0.9/100
  const std::vector<BudgetItem> items = {{10, 0.8}, {1, 0.6}, {4, 0.7}, {100, 0.9}};
  BudgetPlan p = planWithinBudget(items, 12, 2, true, 3);
  EXPECT_EQ(p.chosen, (std::vector<bool>{true, true, true, false}));
  EXPECT_DOUBLE_EQ(p.expectedWall, 10);  // 10 on one core, 4 + 1 on the other
  EXPECT_FALSE(p.merge);                 // 10 + 3 > 12
  EXPECT_NE(p.mergeWhy.find("over the budget"), std::string::npos);
  EXPECT_NE(p.why[3].find("over the budget"), std::string::npos);

  p = planWithinBudget(items, 5, 1, false, 0);
  EXPECT_EQ(p.chosen, (std::vector<bool>{false, true, true, false}));  // 4 first, then 1

  p = planWithinBudget(items, 0.5, 1, false, 0);  // nothing fits: the cheapest runs
  EXPECT_EQ(p.chosen, (std::vector<bool>{false, true, false, false}));

  p = planWithinBudget(items, 0, 1, true, 3);  // no limit
  EXPECT_EQ(p.chosen, (std::vector<bool>(4, true)));
  EXPECT_TRUE(p.merge);
  EXPECT_DOUBLE_EQ(packedWall({5, 4, 3, 3}, 2), 8);

  // MAFFT --auto marked first: the first pick whatever its value or time.
  std::vector<BudgetItem> anchored = items;
  anchored[3].first = true;
  p = planWithinBudget(anchored, 12, 2, false, 0);
  EXPECT_EQ(p.first, 3u);
  EXPECT_EQ(p.chosen, (std::vector<bool>{false, false, false, true}));
  anchored[3].expectedSeconds = 5;
  p = planWithinBudget(anchored, 9, 2, false, 0);
  EXPECT_EQ(p.first, 3u);
  EXPECT_EQ(p.chosen, (std::vector<bool>{false, true, true, true}));  // 5 | 4 + 1; 10 alone is over
}

}  // namespace
}  // namespace advice
