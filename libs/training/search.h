// The multi-objective search (NSGA-II) over the option space. It knows
// nothing of aligners or files: evaluate() turns configurations into
// fitness, so the search is tested with made-up objectives and used with
// real runs.
//
// Generation 0 holds the default configuration of each allowed kind, then
// random genomes up to the population size. Each later generation breeds as
// many children (tournament, crossover, mutation; a child whose
// configuration was seen already is bred again, a few times at most), and
// the best of parents and children by rank and crowding survive. A
// configuration is evaluated once per search; each evaluation costs one
// run per data set against the budget, and the search stops before an
// evaluation would pass it.
#ifndef TRAINING_SEARCH_H
#define TRAINING_SEARCH_H

#include <functional>
#include <string>
#include <vector>

#include "runs/configuration.h"
#include "training/genome.h"
#include "training/nsga2.h"
#include "training/option_space.h"

namespace training {

// The library's generator takes a seed in [0, 1): the integer S becomes the
// fractional part of (S + 1) * 0.6180339887498949 (distinct integers give
// distinct seeds); then randomize().
void seedGenerator(long seed);
double seedValue(long seed);

struct SearchSettings {
  int population = 16;
  int generations = 8;
  long budget = 0;            // runs; 0: no limit
  int runsPerEvaluation = 1;  // the number of data sets
  std::vector<int> kinds{0, 1, 2, 3, 4};
  long seed = 237;
};

struct Individual {
  Genome genome;
  runs::Configuration configuration;
  Fitness fitness;
  int generation = 0;  // when first evaluated
};

struct SearchResult {
  std::vector<Individual> evaluated;  // each configuration once, in evaluation order
  std::vector<size_t> population;     // the last population, indices into evaluated
  long runsUsed = 0;
  int generationsDone = -1;  // 0 after the first population
  bool budgetReached = false;
  bool interrupted = false;
};

struct SearchProgress {
  int generation = 0;
  int generations = 0;
  long runsUsed = 0;
  long runsPlanned = 0;
  const Individual* best = nullptr;  // best mean Q + TC without failures; may be null
};

// Evaluates new configurations (never one evaluated before in this search);
// returns false when interrupted (the search then stops).
using EvaluateFn =
    std::function<bool(const std::vector<runs::Configuration>&, std::vector<Fitness>*)>;
using ProgressFn = std::function<void(const SearchProgress&)>;

SearchResult runSearch(const OptionSpace& space, const SearchSettings& settings,
                       const EvaluateFn& evaluate, const ProgressFn& progress);

// The best individual by mean Q + TC among those without failures (ties:
// faster, then earlier); null when there is none.
const Individual* bestByQualitySum(const std::vector<Individual>& individuals);

}  // namespace training

#endif
