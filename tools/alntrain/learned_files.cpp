#include "learned_files.h"

#include <algorithm>
#include <cstdio>

#include "getChar.h"
#include "runs/aligner_names.h"
#include "training/nsga2.h"

namespace alntrain {

namespace {

std::string number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

// a is a better run than b.
bool betterRun(const training::RunRecord& a, const training::RunRecord& b) {
  const double sa = a.q + a.tc, sb = b.q + b.tc;
  if (sa != sb) return sa > sb;
  if (a.seconds != b.seconds) return a.seconds < b.seconds;
  if (a.configuration.kind != b.configuration.kind)
    return a.configuration.kind < b.configuration.kind;
  return a.configuration.options < b.configuration.options;
}

// The first line of the file order holding each role, as the reader finds
// them: strict tests, so the earliest of equal lines.
void roles(const std::vector<training::Individual>& lines, size_t holder[3]) {
  double best0 = 1e300, bestSum = 1e300, best2 = 1e300;
  for (size_t k = 0; k < 3; ++k) holder[k] = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    const double* o = lines[i].fitness.objectives;
    if (o[0] < best0) best0 = o[0], holder[0] = i;
    if (o[0] + o[1] < bestSum) bestSum = o[0] + o[1], holder[1] = i;
    if (o[2] < best2) best2 = o[2], holder[2] = i;
  }
}

}  // namespace

std::vector<TableLine> bestPerDataSet(const std::vector<training::BenchmarkSet>& sets,
                                      const std::vector<size_t>& which,
                                      const training::RunCache& cache,
                                      const std::vector<training::Individual>& evaluated,
                                      std::vector<std::string>* warnings) {
  std::vector<TableLine> lines;
  for (size_t s : which) {
    const training::BenchmarkSet& set = sets[s];
    const training::RunRecord* best = nullptr;
    for (const training::Individual& ind : evaluated) {
      const training::RunRecord* r = cache.find(set.hash, ind.configuration);
      if (r && r->valid() && (best == nullptr || betterRun(*r, *best))) best = r;
    }
    if (best == nullptr) {
      warnings->push_back("no configuration aligned '" + set.name +
                          "'; it has no line in the reference table");
      continue;
    }
    TableLine line;
    line.name = set.name;
    std::copy(set.features, set.features + 10, line.features);
    line.best = *best;
    lines.push_back(line);
  }
  return lines;
}

std::string formatReferenceTable(const std::vector<TableLine>& lines) {
  std::string text;
  for (const TableLine& l : lines) {
    text += l.name;
    for (double f : l.features) text += ";" + number(f);
    text +=
        ";" + std::to_string(l.best.configuration.kind) + ";" + l.best.configuration.options + "\n";
  }
  return text;
}

std::vector<training::Individual> paretoFront(const std::vector<training::Individual>& evaluated,
                                              std::vector<std::string>* warnings) {
  std::vector<training::Individual> feasible;
  for (const training::Individual& ind : evaluated)
    if (ind.fitness.failures == 0) feasible.push_back(ind);
  std::vector<training::Fitness> points;
  for (const training::Individual& ind : feasible) points.push_back(ind.fitness);
  const std::vector<int> rank = training::nondominatedRanks(points);
  std::vector<size_t> members;
  for (size_t i = 0; i < feasible.size(); ++i)
    if (rank[i] == 0) members.push_back(i);
  if (members.size() > kMaxFrontLines) {
    const std::vector<double> crowding = training::crowdingDistances(points, members);
    std::vector<size_t> order(members.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return crowding[a] > crowding[b]; });
    order.resize(kMaxFrontLines);
    std::sort(order.begin(), order.end());
    std::vector<size_t> kept;
    for (size_t k : order) kept.push_back(members[k]);
    warnings->push_back("the front holds " + std::to_string(members.size()) +
                        " configurations; the " + std::to_string(kMaxFrontLines) +
                        " least crowded are written");
    members = kept;
  }
  std::vector<training::Individual> front;
  for (size_t i : members) front.push_back(feasible[i]);
  std::stable_sort(front.begin(), front.end(),
                   [](const training::Individual& a, const training::Individual& b) {
                     return a.fitness.objectives[0] < b.fitness.objectives[0];
                   });
  return front;
}

std::vector<training::Individual> frontFileOrder(std::vector<training::Individual> front,
                                                 std::vector<std::string>* warnings) {
  // Others by accuracy, then MUSCLE lines by accuracy.
  std::stable_sort(
      front.begin(), front.end(), [](const training::Individual& a, const training::Individual& b) {
        const bool ma = a.configuration.kind == MUSCLE, mb = b.configuration.kind == MUSCLE;
        if (ma != mb) return mb;
        return a.fitness.objectives[0] < b.fitness.objectives[0];
      });
  size_t dropped = 0;
  for (;;) {
    size_t holder[3];
    roles(front, holder);
    size_t muscle = front.size();
    size_t conflict = front.size();
    for (size_t k = 0; k < 3; ++k) {
      const size_t h = holder[k];
      if (h >= front.size() || front[h].configuration.kind != MUSCLE) continue;
      if (muscle == front.size())
        muscle = h;
      else if (h != muscle && conflict == front.size())
        conflict = h;
    }
    if (conflict < front.size()) {
      front.erase(front.begin() + static_cast<long>(conflict));
      ++dropped;
      continue;
    }
    if (dropped > 0) {
      warnings->push_back(std::to_string(dropped) +
                          " MUSCLE configurations of the front are left out of front.txt: the "
                          "front reader keeps only the last MUSCLE line");
    }
    if (muscle < front.size()) {
      const training::Individual last = front[muscle];
      front.erase(front.begin() + static_cast<long>(muscle));
      front.push_back(last);
    }
    return front;
  }
}

std::string formatFront(const std::vector<training::Individual>& front) {
  std::string text;
  for (const training::Individual& ind : front) {
    const double* o = ind.fitness.objectives;
    text += number(o[0]) + ";" + number(o[1]) + ";" + number(o[2]) + ";" +
            std::to_string(ind.configuration.kind) + ";" + ind.configuration.options + "\n";
  }
  return text;
}

}  // namespace alntrain
