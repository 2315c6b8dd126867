// Non-dominated sorting and crowding against brute-force versions on random
// points (small integer grids, so ties and duplicates are common), and the
// genetic operators' bounds.
#include "training/nsga2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "getChar.h"
#include "training/search.h"

namespace training {
namespace {

std::vector<Fitness> randomPoints(std::mt19937& random, size_t n, int grid, bool failures) {
  std::uniform_int_distribution<int> value(0, grid), failure(0, 1);
  std::vector<Fitness> points(n);
  for (Fitness& p : points) {
    for (double& o : p.objectives) o = value(random) / static_cast<double>(grid);
    p.failures = failures ? failure(random) : 0;
  }
  return points;
}

// Peels fronts: a point of the remaining set joins the front when no other
// remaining point dominates it.
std::vector<int> peeledRanks(const std::vector<Fitness>& points) {
  std::vector<int> rank(points.size(), -1);
  for (int r = 0;; ++r) {
    std::vector<size_t> front;
    for (size_t i = 0; i < points.size(); ++i) {
      if (rank[i] >= 0) continue;
      bool dominated = false;
      for (size_t j = 0; j < points.size() && !dominated; ++j)
        dominated = rank[j] < 0 && j != i && dominates(points[j], points[i]);
      if (!dominated) front.push_back(i);
    }
    if (front.empty()) return rank;
    for (size_t i : front) rank[i] = r;
  }
}

// Crowding by scanning for each member's neighbours in (value, index) order.
std::vector<double> scannedCrowding(const std::vector<Fitness>& points,
                                    const std::vector<size_t>& members) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> d(members.size(), 0.0);
  if (members.size() <= 2) return std::vector<double>(members.size(), inf);
  for (int m = 0; m < kObjectives; ++m) {
    auto before = [&](size_t a, size_t b) {  // positions in members
      const double va = points[members[a]].objectives[m], vb = points[members[b]].objectives[m];
      return va < vb || (va == vb && members[a] < members[b]);
    };
    double low = inf, high = -inf;
    for (size_t i : members) {
      low = std::min(low, points[i].objectives[m]);
      high = std::max(high, points[i].objectives[m]);
    }
    if (!(high > low)) continue;
    for (size_t a = 0; a < members.size(); ++a) {
      size_t prev = members.size(), next = members.size();
      for (size_t b = 0; b < members.size(); ++b) {
        if (b == a) continue;
        if (before(b, a) && (prev == members.size() || before(prev, b))) prev = b;
        if (before(a, b) && (next == members.size() || before(b, next))) next = b;
      }
      if (prev == members.size() || next == members.size()) {
        d[a] = inf;
      } else if (d[a] != inf) {
        d[a] += (points[members[next]].objectives[m] - points[members[prev]].objectives[m]) /
                (high - low);
      }
    }
  }
  return d;
}

TEST(Nsga2, SortingAndCrowdingMatchBruteForce) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    const size_t n = 1 + trial % 40;
    const std::vector<Fitness> points = randomPoints(random, n, trial % 2 ? 3 : 20, trial % 3 == 0);
    const std::vector<int> rank = nondominatedRanks(points);
    ASSERT_EQ(rank, peeledRanks(points)) << "trial " << trial;
    for (int r = 0; r <= *std::max_element(rank.begin(), rank.end()); ++r) {
      std::vector<size_t> front;
      for (size_t i = 0; i < n; ++i)
        if (rank[i] == r) front.push_back(i);
      const std::vector<double> got = crowdingDistances(points, front);
      const std::vector<double> want = scannedCrowding(points, front);
      for (size_t k = 0; k < front.size(); ++k) EXPECT_DOUBLE_EQ(got[k], want[k]) << trial;
    }
  }
}

TEST(Nsga2, FailuresComeBeforeObjectives) {
  Fitness a, b;
  a.objectives[0] = 0.9;
  b.objectives[0] = 0.1;
  a.failures = 0;
  b.failures = 1;
  EXPECT_TRUE(dominates(a, b));
  EXPECT_FALSE(dominates(b, a));
  EXPECT_FALSE(dominates(a, a));  // equal points dominate neither way
}

TEST(Nsga2, SurvivorsTakeWholeFrontsThenTheLeastCrowded) {
  std::vector<Fitness> p(6);
  const double v[6][3] = {{0, 1, 0}, {1, 0, 0}, {0.5, 0.5, 0}, {0.4, 0.6, 0}, {1, 1, 1}, {2, 2, 2}};
  for (size_t i = 0; i < 6; ++i) std::copy(v[i], v[i] + 3, p[i].objectives);
  // Front {0, 1, 2, 3}: the ends are infinitely far, 3 is nearer its
  // neighbours than 2 is.
  EXPECT_EQ(selectSurvivors(p, 3), (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(selectSurvivors(p, 5), (std::vector<size_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(selectSurvivors(p, 9).size(), 6u);
}

TEST(Nsga2, OperatorsKeepGenomesInTheSpace) {
  OptionSpace space;
  std::string error;
  ASSERT_TRUE(parseOptionSpace(R"({"aligners": [
      {"aligner": "CLUSTALW", "genes": []}, {"aligner": "DIALIGNTX", "genes": []},
      {"aligner": "KALIGN", "genes": [{"name": "g", "option": "-gpo", "values": [1, 2, 3]}]},
      {"aligner": "MAFFT", "genes": [{"name": "s", "values": ["", "--a", "--b"]},
                                     {"name": "op", "option": "--op", "values": [1, 2], "default": 1.5}]},
      {"aligner": "MUSCLE", "genes": [{"name": "d", "values": ["", "-diags"]}]}]})",
                               &space, &error))
      << error;
  seedGenerator(3);
  const std::vector<int> kinds = {KALIGN, MAFFT};
  for (int i = 0; i < 500; ++i) {
    Genome a = randomGenome(space, kinds), b = randomGenome(space, kinds);
    uniformCrossover(a, b);
    mutate(space, kinds, a);
    for (const Genome& g : {a, b}) {
      EXPECT_TRUE(g.kind == KALIGN || g.kind == MAFFT);
      ASSERT_EQ(static_cast<int>(g.alleles.size()), space.totalGenes());
      for (int k = 0, at = 0; k < 5; ++k)
        for (const Gene& gene : space.genes(k)) {
          EXPECT_GE(g.alleles[at], 0);
          EXPECT_LT(g.alleles[at++], gene.alleles());
        }
    }
  }
}

}  // namespace
}  // namespace training
