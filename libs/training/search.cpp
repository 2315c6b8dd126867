#include "training/search.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "getChar.h"

namespace training {

namespace {

// Breeding attempts for one child before a configuration seen already is
// taken anyway (it costs nothing: its fitness is known).
const int kBreedingAttempts = 20;

class SearchRun {
 public:
  SearchRun(const OptionSpace& space, const SearchSettings& settings, const EvaluateFn& evaluate,
            const ProgressFn& progress)
      : space_(space), settings_(settings), evaluate_(evaluate), progress_(progress) {}

  SearchResult run();

 private:
  bool known(const runs::Configuration& c) const { return index_.count(configurationKey(c)) > 0; }
  // Evaluates the genomes whose configuration is new, as far as the budget
  // allows; returns the archive indices of the genomes taken (known ones
  // included), or false when interrupted.
  bool evaluateBatch(const std::vector<Genome>& genomes, std::vector<size_t>* taken,
                     int generation);
  std::vector<Genome> firstGenomes();
  std::vector<Genome> breed();
  void report(int generation);
  std::vector<Fitness> fitnessOf(const std::vector<size_t>& members) const;

  const OptionSpace& space_;
  const SearchSettings& settings_;
  const EvaluateFn& evaluate_;
  const ProgressFn& progress_;
  SearchResult result_;
  std::unordered_map<std::string, size_t> index_;  // configuration key -> evaluated
};

std::vector<Genome> SearchRun::firstGenomes() {
  std::vector<Genome> genomes;
  std::unordered_set<std::string> seen;
  for (int kind : settings_.kinds) {
    genomes.push_back(defaultGenome(space_, kind));
    seen.insert(configurationKey(configurationOf(space_, genomes.back())));
  }
  const size_t size = static_cast<size_t>(std::max(settings_.population, 1));
  for (int attempt = 0; genomes.size() < size && attempt < settings_.population * kBreedingAttempts;
       ++attempt) {
    Genome g = randomGenome(space_, settings_.kinds);
    if (seen.insert(configurationKey(configurationOf(space_, g))).second) genomes.push_back(g);
  }
  return genomes;
}

std::vector<Fitness> SearchRun::fitnessOf(const std::vector<size_t>& members) const {
  std::vector<Fitness> points;
  for (size_t i : members) points.push_back(result_.evaluated[i].fitness);
  return points;
}

std::vector<Genome> SearchRun::breed() {
  const Ranking ranking = rankPoints(fitnessOf(result_.population));
  std::vector<Genome> children;
  std::unordered_set<std::string> seen;
  const size_t size = static_cast<size_t>(settings_.population);
  while (children.size() < size) {
    std::vector<Genome> accepted;
    Genome pair[2];
    for (int attempt = 0; attempt < kBreedingAttempts && accepted.empty(); ++attempt) {
      pair[0] = result_.evaluated[result_.population[binaryTournament(ranking)]].genome;
      pair[1] = result_.evaluated[result_.population[binaryTournament(ranking)]].genome;
      uniformCrossover(pair[0], pair[1]);
      for (Genome& g : pair) {
        mutate(space_, settings_.kinds, g);
        const runs::Configuration c = configurationOf(space_, g);
        if (!known(c) && seen.insert(configurationKey(c)).second) accepted.push_back(g);
      }
    }
    // After the last attempt a configuration seen already is taken: it is free.
    if (accepted.empty()) accepted.push_back(pair[0]);
    for (const Genome& g : accepted)
      if (children.size() < size) children.push_back(g);
  }
  return children;
}

bool SearchRun::evaluateBatch(const std::vector<Genome>& genomes, std::vector<size_t>* taken,
                              int generation) {
  const long cost = settings_.runsPerEvaluation;
  std::vector<runs::Configuration> fresh;
  std::vector<Genome> freshGenomes;
  std::unordered_set<std::string> batch;
  for (const Genome& g : genomes) {
    const runs::Configuration c = configurationOf(space_, g);
    const std::string key = configurationKey(c);
    if (known(c) || batch.count(key)) continue;
    if (settings_.budget > 0 && result_.runsUsed + cost > settings_.budget) {
      result_.budgetReached = true;
      continue;
    }
    batch.insert(key);
    result_.runsUsed += cost;
    fresh.push_back(c);
    freshGenomes.push_back(g);
  }
  std::vector<Fitness> fitness;
  if (!fresh.empty()) {
    if (!evaluate_(fresh, &fitness) || fitness.size() != fresh.size()) {
      result_.interrupted = true;
      return false;
    }
  }
  for (size_t i = 0; i < fresh.size(); ++i) {
    Individual ind;
    ind.genome = freshGenomes[i];
    ind.configuration = fresh[i];
    ind.fitness = fitness[i];
    ind.generation = generation;
    index_[configurationKey(fresh[i])] = result_.evaluated.size();
    result_.evaluated.push_back(ind);
  }
  taken->clear();
  std::unordered_set<size_t> in;
  for (const Genome& g : genomes) {
    auto it = index_.find(configurationKey(configurationOf(space_, g)));
    if (it != index_.end() && in.insert(it->second).second) taken->push_back(it->second);
  }
  return true;
}

void SearchRun::report(int generation) {
  if (!progress_) return;
  SearchProgress p;
  p.generation = generation;
  p.generations = settings_.generations;
  p.runsUsed = result_.runsUsed;
  const long full = static_cast<long>(settings_.runsPerEvaluation) * settings_.population *
                    (settings_.generations + 1);
  p.runsPlanned = settings_.budget > 0 ? std::min(full, settings_.budget) : full;
  if (p.runsPlanned < p.runsUsed) p.runsPlanned = p.runsUsed;
  p.best = bestByQualitySum(result_.evaluated);
  progress_(p);
}

SearchResult SearchRun::run() {
  seedGenerator(settings_.seed);
  std::vector<size_t> taken;
  if (!evaluateBatch(firstGenomes(), &taken, 0)) return result_;
  result_.population = taken;
  result_.generationsDone = 0;
  report(0);
  for (int generation = 1; generation <= settings_.generations; ++generation) {
    if (result_.budgetReached || result_.population.empty()) break;
    if (settings_.budget > 0 && result_.runsUsed + settings_.runsPerEvaluation > settings_.budget) {
      result_.budgetReached = true;
      break;
    }
    std::vector<size_t> children;
    if (!evaluateBatch(breed(), &children, generation)) return result_;
    std::vector<size_t> pool = result_.population;
    for (size_t c : children)
      if (std::find(pool.begin(), pool.end(), c) == pool.end()) pool.push_back(c);
    std::vector<size_t> next;
    for (size_t k : selectSurvivors(fitnessOf(pool), static_cast<size_t>(settings_.population)))
      next.push_back(pool[k]);
    result_.population = next;
    result_.generationsDone = generation;
    report(generation);
  }
  return result_;
}

}  // namespace

double seedValue(long seed) {
  const double x = (static_cast<double>(seed) + 1.0) * 0.6180339887498949;
  return x - std::floor(x);
}

void seedGenerator(long seed) {
  ::seed = seedValue(seed);
  randomize();
}

SearchResult runSearch(const OptionSpace& space, const SearchSettings& settings,
                       const EvaluateFn& evaluate, const ProgressFn& progress) {
  SearchRun run(space, settings, evaluate, progress);
  return run.run();
}

const Individual* bestByQualitySum(const std::vector<Individual>& individuals) {
  const Individual* best = nullptr;
  for (const Individual& ind : individuals) {
    if (ind.fitness.failures > 0) continue;
    if (best == nullptr) {
      best = &ind;
      continue;
    }
    const double s = ind.fitness.objectives[0] + ind.fitness.objectives[1];
    const double b = best->fitness.objectives[0] + best->fitness.objectives[1];
    if (s < b || (s == b && ind.fitness.objectives[2] < best->fitness.objectives[2])) best = &ind;
  }
  return best;
}

}  // namespace training
