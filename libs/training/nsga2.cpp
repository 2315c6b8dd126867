#include "training/nsga2.h"

#include <algorithm>
#include <limits>

#include "getChar.h"
#include "runs/aligner_names.h"

namespace training {

namespace {

const double kInfinity = std::numeric_limits<double>::infinity();

std::vector<std::vector<size_t>> frontsOf(const std::vector<int>& rank) {
  std::vector<std::vector<size_t>> fronts;
  for (size_t i = 0; i < rank.size(); ++i) {
    const size_t r = static_cast<size_t>(rank[i]);
    if (fronts.size() <= r) fronts.resize(r + 1);
    fronts[r].push_back(i);
  }
  return fronts;
}

int otherAllele(int current, int alleles) {
  const int drawn = rnd(0, alleles - 2);
  return drawn >= current ? drawn + 1 : drawn;
}

}  // namespace

bool dominates(const Fitness& a, const Fitness& b) {
  if (a.failures != b.failures) return a.failures < b.failures;
  bool better = false;
  for (int m = 0; m < kObjectives; ++m) {
    if (a.objectives[m] > b.objectives[m]) return false;
    if (a.objectives[m] < b.objectives[m]) better = true;
  }
  return better;
}

std::vector<int> nondominatedRanks(const std::vector<Fitness>& points) {
  const size_t n = points.size();
  std::vector<std::vector<size_t>> dominated(n);
  std::vector<int> dominators(n, 0), rank(n, 0);
  std::vector<size_t> current;
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) {
      if (i == j) continue;
      if (dominates(points[i], points[j]))
        dominated[i].push_back(j);
      else if (dominates(points[j], points[i]))
        ++dominators[i];
    }
    if (dominators[i] == 0) current.push_back(i);
  }
  for (int r = 0; !current.empty(); ++r) {
    std::vector<size_t> next;
    for (size_t i : current) {
      rank[i] = r;
      for (size_t j : dominated[i])
        if (--dominators[j] == 0) next.push_back(j);
    }
    current.swap(next);
  }
  return rank;
}

std::vector<double> crowdingDistances(const std::vector<Fitness>& points,
                                      const std::vector<size_t>& members) {
  const size_t n = members.size();
  std::vector<double> distance(n, 0.0);
  if (n <= 2) return std::vector<double>(n, kInfinity);
  std::vector<size_t> order(n);
  for (int m = 0; m < kObjectives; ++m) {
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      const double va = points[members[a]].objectives[m], vb = points[members[b]].objectives[m];
      return va != vb ? va < vb : members[a] < members[b];
    });
    const double low = points[members[order.front()]].objectives[m];
    const double high = points[members[order.back()]].objectives[m];
    if (!(high > low)) continue;  // all equal: the ends would be arbitrary
    distance[order.front()] = kInfinity;
    distance[order.back()] = kInfinity;
    for (size_t k = 1; k + 1 < n; ++k) {
      const double gap =
          points[members[order[k + 1]]].objectives[m] - points[members[order[k - 1]]].objectives[m];
      distance[order[k]] += gap / (high - low);
    }
  }
  return distance;
}

Ranking rankPoints(const std::vector<Fitness>& points) {
  Ranking ranking;
  ranking.rank = nondominatedRanks(points);
  ranking.crowding.assign(points.size(), 0.0);
  for (const std::vector<size_t>& front : frontsOf(ranking.rank)) {
    const std::vector<double> d = crowdingDistances(points, front);
    for (size_t k = 0; k < front.size(); ++k) ranking.crowding[front[k]] = d[k];
  }
  return ranking;
}

bool crowdedBetter(const Ranking& ranking, size_t a, size_t b) {
  if (ranking.rank[a] != ranking.rank[b]) return ranking.rank[a] < ranking.rank[b];
  return ranking.crowding[a] > ranking.crowding[b];
}

size_t binaryTournament(const Ranking& ranking) {
  const int last = static_cast<int>(ranking.rank.size()) - 1;
  const size_t a = static_cast<size_t>(rnd(0, last));
  const size_t b = static_cast<size_t>(rnd(0, last));
  return crowdedBetter(ranking, b, a) ? b : a;
}

void uniformCrossover(Genome& a, Genome& b) {
  if (randomperc() >= kCrossoverProbability) return;
  if (randomperc() < 0.5) std::swap(a.kind, b.kind);
  for (size_t i = 0; i < a.alleles.size(); ++i)
    if (randomperc() < 0.5) std::swap(a.alleles[i], b.alleles[i]);
}

void mutate(const OptionSpace& space, const std::vector<int>& kinds, Genome& genome) {
  if (kinds.size() > 1 && randomperc() < kKindMutationProbability) {
    const size_t at =
        static_cast<size_t>(std::find(kinds.begin(), kinds.end(), genome.kind) - kinds.begin());
    const int n = static_cast<int>(kinds.size());
    genome.kind = at < kinds.size()
                      ? kinds[static_cast<size_t>(otherAllele(static_cast<int>(at), n))]
                      : kinds[static_cast<size_t>(rnd(0, n - 1))];
  }
  const size_t expressed = space.genes(genome.kind).size();
  const double rate = 1.0 / static_cast<double>(expressed > 0 ? expressed : 1);
  size_t i = 0;
  for (int k = 0; k < runs::kAlignerKinds; ++k) {
    for (const Gene& gene : space.genes(k)) {
      int& allele = genome.alleles[i++];
      if (randomperc() >= rate) continue;
      const bool numeric = gene.firstNumeric >= 0 && allele >= gene.firstNumeric;
      if (numeric && randomperc() < 0.5) {
        int step = randomperc() < 0.5 ? -1 : 1;
        if (allele + step < gene.firstNumeric || allele + step >= gene.alleles()) step = -step;
        const int next = allele + step;
        if (next >= gene.firstNumeric && next < gene.alleles()) allele = next;
      } else {
        allele = otherAllele(allele, gene.alleles());
      }
    }
  }
}

std::vector<size_t> selectSurvivors(const std::vector<Fitness>& points, size_t count) {
  const Ranking ranking = rankPoints(points);
  std::vector<size_t> chosen;
  for (std::vector<size_t> front : frontsOf(ranking.rank)) {
    if (chosen.size() >= count) break;
    if (chosen.size() + front.size() > count) {
      std::stable_sort(front.begin(), front.end(), [&](size_t a, size_t b) {
        return ranking.crowding[a] > ranking.crowding[b];
      });
      front.resize(count - chosen.size());
    }
    chosen.insert(chosen.end(), front.begin(), front.end());
  }
  return chosen;
}

}  // namespace training
