// The pieces of NSGA-II: constrained non-dominated sorting, crowding
// distance, binary tournament, uniform crossover, per-gene mutation and the
// elitist choice of survivors. Every random draw is the library's
// generator (randomperc, rnd), so a search repeats from its seed.
#ifndef TRAINING_NSGA2_H
#define TRAINING_NSGA2_H

#include <cstddef>
#include <vector>

#include "training/genome.h"
#include "training/option_space.h"

namespace training {

const int kObjectives = 3;

// Objectives are minimised: mean 1 - Q, mean 1 - TC, mean seconds over the
// data sets. failures counts the data sets without a valid alignment; it is
// a constraint: fewer failures always wins, equal failures compare by
// Pareto dominance.
struct Fitness {
  double objectives[kObjectives] = {0, 0, 0};
  int failures = 0;
};

bool dominates(const Fitness& a, const Fitness& b);

// rank[i] = 0 for the points no other point dominates, 1 for those only
// rank-0 points dominate, and so on (Deb's fast non-dominated sort).
std::vector<int> nondominatedRanks(const std::vector<Fitness>& points);

// Crowding distance of each member of one front (indices into points), in
// members' order: per objective, members are ordered by value (ties by
// index); the two ends get infinity, the others the gap between their
// neighbours over the objective's range. An objective whose values are all
// equal adds nothing. Fronts of one or two points are all infinity.
std::vector<double> crowdingDistances(const std::vector<Fitness>& points,
                                      const std::vector<size_t>& members);

struct Ranking {
  std::vector<int> rank;
  std::vector<double> crowding;
};
Ranking rankPoints(const std::vector<Fitness>& points);

// a is better than b: lower rank, or same rank and larger crowding.
bool crowdedBetter(const Ranking& ranking, size_t a, size_t b);

// Two uniform draws in [0, n); the better one wins, the first on a tie.
size_t binaryTournament(const Ranking& ranking);

const double kCrossoverProbability = 0.9;
const double kKindMutationProbability = 0.1;

// With kCrossoverProbability, swaps the kind and each allele with
// probability 1/2; otherwise leaves both unchanged.
void uniformCrossover(Genome& a, Genome& b);

// The kind moves to another allowed kind with kKindMutationProbability;
// each allele mutates with probability 1 / (genes of the genome's kind): a
// numeric value half the time steps to a neighbour, otherwise any other
// allele is drawn.
void mutate(const OptionSpace& space, const std::vector<int>& kinds, Genome& genome);

// The count best points by rank, then by crowding within the last front
// that fits only in part (ties by index). Indices into points.
std::vector<size_t> selectSurvivors(const std::vector<Fitness>& points, size_t count);

}  // namespace training

#endif
