// The search with made-up objectives: the first population, one evaluation
// per configuration, the budget, repeatability from the seed, and a stop.
#include "training/search.h"

#include <gtest/gtest.h>

#include <set>

#include "getChar.h"
#include "training/content_hash.h"

namespace training {
namespace {

const char kSpace[] = R"({"aligners": [
  {"aligner": "CLUSTALW", "genes": [{"name": "go", "option": "-gapopen", "separator": "=",
                                     "values": [2, 5, 15], "default": 10}]},
  {"aligner": "DIALIGNTX", "genes": [{"name": "o", "values": ["", "-o1"]}]},
  {"aligner": "KALIGN", "genes": [{"name": "gpo", "option": "-gpo", "values": [2, 4, 8]},
                                  {"name": "t", "values": ["", "--type divergent"]}]},
  {"aligner": "MAFFT", "genes": [{"name": "s", "values": ["", "--retree 1", "--localpair"]},
                                 {"name": "op", "option": "--op", "values": [0.5, 1, 2, 3],
                                  "default": 1.53}]},
  {"aligner": "MUSCLE", "genes": [{"name": "i", "option": "-maxiters", "values": [1, 2, 4],
                                   "default": 16}]}]})";

// Objectives that depend on the configuration alone, as the cache makes them.
Fitness madeUp(const runs::Configuration& c) {
  Fnv1a64 h;
  h.add(std::to_string(c.kind) + c.options);
  const uint64_t v = h.value();
  Fitness f;
  f.objectives[0] = static_cast<double>(v % 1000) / 1000;
  f.objectives[1] = static_cast<double>((v >> 10) % 1000) / 1000;
  f.objectives[2] = static_cast<double>((v >> 20) % 1000) / 10;
  return f;
}

struct Recorder {
  std::vector<std::string> evaluated;  // in order
  size_t calls = 0, stopAfter = 0;     // stopAfter 0: never
  EvaluateFn fn() {
    return [this](const std::vector<runs::Configuration>& configurations,
                  std::vector<Fitness>* fitness) {
      if (stopAfter && ++calls > stopAfter) return false;
      for (const auto& c : configurations) {
        evaluated.push_back(configurationKey(c));
        fitness->push_back(madeUp(c));
      }
      return true;
    };
  }
};

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(parseOptionSpace(kSpace, &space, &error)) << error;
    settings.population = 8;
    settings.generations = 5;
    settings.runsPerEvaluation = 3;
  }
  // The search seeds the core's global generator; later tests in the same
  // process expect its start value.
  void TearDown() override { ::seed = 237.0; }
  OptionSpace space;
  SearchSettings settings;
};

TEST_F(SearchTest, FirstPopulationHoldsTheDefaultsAndNothingIsEvaluatedTwice) {
  Recorder r;
  const SearchResult result = runSearch(space, settings, r.fn(), nullptr);
  ASSERT_GE(r.evaluated.size(), 8u);
  for (int kind = 0; kind < 5; ++kind)
    EXPECT_EQ(r.evaluated[static_cast<size_t>(kind)], std::to_string(kind) + "\t");
  EXPECT_EQ(std::set<std::string>(r.evaluated.begin(), r.evaluated.end()).size(),
            r.evaluated.size());
  EXPECT_EQ(result.evaluated.size(), r.evaluated.size());
  EXPECT_EQ(result.runsUsed, 3 * static_cast<long>(r.evaluated.size()));
  EXPECT_EQ(result.generationsDone, 5);
  EXPECT_EQ(result.population.size(), 8u);
}

TEST_F(SearchTest, TheSameSeedMakesTheSameDecisionsAndAnotherOneOthers) {
  Recorder a, b, c;
  runSearch(space, settings, a.fn(), nullptr);
  runSearch(space, settings, b.fn(), nullptr);
  settings.seed = 238;
  runSearch(space, settings, c.fn(), nullptr);
  EXPECT_EQ(a.evaluated, b.evaluated);
  EXPECT_NE(a.evaluated, c.evaluated);
  // Seeds of the library's generator: in [0, 1), distinct for distinct integers.
  std::set<double> seeds;
  for (long s = 0; s < 1000; ++s) {
    EXPECT_GE(seedValue(s), 0.0);
    EXPECT_LT(seedValue(s), 1.0);
    seeds.insert(seedValue(s));
  }
  EXPECT_EQ(seeds.size(), 1000u);
}

TEST_F(SearchTest, TheBudgetStopsBeforeAnEvaluationWouldPassIt) {
  settings.budget = 40;  // 13 evaluations of 3 runs
  Recorder r;
  const SearchResult result = runSearch(space, settings, r.fn(), nullptr);
  EXPECT_TRUE(result.budgetReached);
  EXPECT_EQ(r.evaluated.size(), 13u);
  EXPECT_EQ(result.runsUsed, 39);
}

TEST_F(SearchTest, AStopEndsTheSearchAndKeepsWhatWasEvaluated) {
  Recorder r;
  r.stopAfter = 2;
  std::vector<int> generations;
  const SearchResult result = runSearch(space, settings, r.fn(), [&](const SearchProgress& p) {
    generations.push_back(p.generation);
    EXPECT_LE(p.runsUsed, p.runsPlanned);
  });
  EXPECT_TRUE(result.interrupted);
  EXPECT_EQ(generations, (std::vector<int>{0, 1}));
  EXPECT_EQ(result.generationsDone, 1);
}

TEST_F(SearchTest, OnlyTheAllowedAlignersAreSearched) {
  settings.kinds = {KALIGN, MUSCLE};
  settings.population = 4;
  Recorder r;
  runSearch(space, settings, r.fn(), nullptr);
  for (const std::string& key : r.evaluated) EXPECT_TRUE(key[0] == '2' || key[0] == '4') << key;
}

}  // namespace
}  // namespace training
