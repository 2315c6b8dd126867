// report.txt and search.tsv: what a training did, what it found and what it
// cost.
#ifndef ALNTRAIN_TRAINING_REPORT_H
#define ALNTRAIN_TRAINING_REPORT_H

#include <string>
#include <vector>

#include "learned_files.h"
#include "training/benchmark_set.h"
#include "training/evaluation.h"
#include "training/search.h"

namespace alntrain {

struct TrainingSummary {
  std::string benchmark, settings;
  const std::vector<training::BenchmarkSet>* sets = nullptr;
  size_t setsUsed = 0;
  std::vector<std::string> leftOut;             // every default (or listed one) failed on them
  training::SearchResult search;                // the search over every data set
  bool listed = false;                          // --configurations: a list took the search's place
  std::vector<training::Individual> front;      // every non-dominated configuration
  std::vector<training::Individual> frontFile;  // those in front.txt
  std::vector<TableLine> table;
  std::string crossValidation;  // "" without folds
  training::EvaluationStats stats;
  int jobs = 1;
  double wallSeconds = 0;
  size_t runsInCache = 0, reusedAtStart = 0;
};

// Header "generation aligner options Q TC seconds failures front", one line
// per configuration evaluated, in evaluation order; Q, TC and seconds are
// means over the data sets.
std::string searchTsv(const training::SearchResult& result,
                      const std::vector<training::Individual>& front);

std::string formatTrainingReport(const TrainingSummary& summary, const std::string& version);

// "alntrain: 412 runs made in 1043 s (0.40 runs/s); 1.2 % of the time outside the runs; ..."
std::string timingLine(const TrainingSummary& summary);

}  // namespace alntrain

#endif
