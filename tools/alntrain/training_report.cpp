#include "training_report.h"

#include <algorithm>
#include <cstdio>

#include "runs/aligner_names.h"
#include "runs/text_format.h"

namespace alntrain {

namespace {

using runs::fixed;

std::string means(const training::Fitness& f) {
  return "Q " + fixed(1 - f.objectives[0], 3) + ", TC " + fixed(1 - f.objectives[1], 3) + ", " +
         fixed(f.objectives[2], 2) + " s";
}

bool onFront(const training::Individual& ind, const std::vector<training::Individual>& front) {
  for (const training::Individual& f : front)
    if (f.configuration == ind.configuration) return true;
  return false;
}

}  // namespace

std::string searchTsv(const training::SearchResult& result,
                      const std::vector<training::Individual>& front) {
  std::string text = "generation\taligner\toptions\tQ\tTC\tseconds\tfailures\tfront\n";
  for (const training::Individual& ind : result.evaluated) {
    const double* o = ind.fitness.objectives;
    text += std::to_string(ind.generation) + "\t" + runs::alignerName(ind.configuration.kind) +
            "\t" + ind.configuration.options + "\t" + fixed(1 - o[0], 4) + "\t" +
            fixed(1 - o[1], 4) + "\t" + fixed(o[2], 3) + "\t" +
            std::to_string(ind.fitness.failures) + "\t" + (onFront(ind, front) ? "yes" : "no") +
            "\n";
  }
  return text;
}

std::string timingLine(const TrainingSummary& s) {
  const training::EvaluationStats& t = s.stats;
  const double outside = s.wallSeconds > 0 ? (s.wallSeconds - t.poolSeconds) / s.wallSeconds : 0;
  const double slots = s.wallSeconds > 0 ? t.childSeconds / (s.jobs * s.wallSeconds) : 0;
  return "alntrain: " + std::to_string(t.runsMade) + " runs made in " + fixed(s.wallSeconds, 1) +
         " s (" + fixed(s.wallSeconds > 0 ? t.runsMade / s.wallSeconds : 0, 3) + " runs/s); " +
         fixed(100 * outside, 2) + " % of the time outside the runs; run processes fill " +
         fixed(100 * slots, 1) + " % of " + std::to_string(s.jobs) + " job slots";
}

std::string formatTrainingReport(const TrainingSummary& s, const std::string& version) {
  std::string text = "alntrain " + version + " on " + s.benchmark + "\n" + s.settings + "\n\n";
  const size_t all = s.sets ? s.sets->size() : 0;
  text += "Data sets: " + std::to_string(all) + ", " + std::to_string(s.setsUsed) + " used";
  if (!s.leftOut.empty()) {
    text += s.listed ? " (every listed configuration failed on:" : " (every default failed on:";
    for (const std::string& n : s.leftOut) text += " " + n;
    text += ")";
  }
  text += ".\n";
  const training::SearchResult& r = s.search;
  if (s.listed)
    text += "Listed: " + std::to_string(r.evaluated.size()) + " configurations, " +
            std::to_string(r.runsUsed) + " runs, no search.\n\n";
  else
    text += "Search: " + std::to_string(r.generationsDone) + " generations after the first, " +
            std::to_string(r.evaluated.size()) + " configurations, " + std::to_string(r.runsUsed) +
            " runs" + (r.budgetReached ? " (stopped by the budget)" : "") + ".\n\n";
  text += "Defaults (means over the data sets):\n";
  for (const training::Individual& ind : r.evaluated)
    if (ind.generation == 0 && ind.configuration.options.empty())
      text += "  " + ind.configuration.label() + ": " + means(ind.fitness) +
              (ind.fitness.failures ? ", failed on " + std::to_string(ind.fitness.failures)
                                    : std::string()) +
              "\n";
  text += "\nFront (" + std::to_string(s.front.size()) + " configurations, most accurate first; " +
          std::to_string(s.frontFile.size()) + " in front.txt, marked *):\n";
  for (const training::Individual& ind : s.front)
    text += std::string(onFront(ind, s.frontFile) ? "* " : "  ") + ind.configuration.label() +
            ": " + means(ind.fitness) + "\n";
  text += "\nBest configuration per data set (reference-table.txt):\n";
  for (const TableLine& l : s.table)
    text += "  " + l.name + ": " + l.best.configuration.label() + " (Q " + fixed(l.best.q, 3) +
            ", TC " + fixed(l.best.tc, 3) + ")\n";
  if (!s.crossValidation.empty()) text += "\n" + s.crossValidation;
  const training::EvaluationStats& t = s.stats;
  text += "\nTiming: " + fixed(s.wallSeconds, 1) + " s wall; " + std::to_string(t.runsMade) +
          " runs made, " + std::to_string(s.reusedAtStart) + " found in runs.tsv at the start (" +
          std::to_string(s.runsInCache) + " there now); time in the run processes " +
          fixed(t.childSeconds, 1) + " s, in the aligners alone " + fixed(t.alignerSeconds, 1) +
          " s.\n" + timingLine(s).substr(10) + ".\n";
  return text;
}

}  // namespace alntrain
