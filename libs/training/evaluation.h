// Making runs: each (data set, configuration) the cache lacks runs once in
// a child of the job pool (runAligner against the data set's reference),
// the run verdict (runs/run_verdict.h) judges it, and the
// run goes into runs.tsv as soon as it ends; a valid alignment is kept as
// <alignments>/<hash>/<kind>-<options hash>.fasta (safe names s1..sN) for
// choosing by agreement later.
#ifndef TRAINING_EVALUATION_H
#define TRAINING_EVALUATION_H

#include <functional>
#include <string>
#include <vector>

#include "advice/cost_model.h"
#include "runs/configuration.h"
#include "runs/job_pool.h"
#include "runs/run_folder.h"
#include "training/benchmark_set.h"
#include "training/run_cache.h"

namespace training {

struct RunSettings {
  std::string toolsFolder;
  std::string alignmentFolder;  // "": alignments are not kept
  int jobs = 1;
  double timeoutSeconds = 0;  // 0: none
  int logFd = -1;             // the children's output; -1: /dev/null
};

struct RunRequest {
  size_t set = 0;  // index into the benchmark
  runs::Configuration configuration;
};

struct EvaluationStats {
  long runsMade = 0;
  double poolSeconds = 0;      // wall time in the job pool, its own handling left out
  double handlingSeconds = 0;  // checking, recording and keeping finished runs
  double childSeconds = 0;     // the runs' processes, summed
  double alignerSeconds = 0;   // the aligners alone as the runner timed them, summed
};

enum class EnsureStatus { kDone, kInterrupted, kWriteFailed };

class Evaluator {
 public:
  // The order of the runs comes from the shipped cost model, the advisor's
  // own; without one they run in the order asked.
  Evaluator(const std::vector<BenchmarkSet>& sets, RunCache& cache, const RunSettings& settings);

  // Makes the requested runs that the cache lacks, jobs at a time, the
  // longest expected first. A run recorded as timed out is made again when
  // the time limit is now longer (or gone); a failed one is not. With
  // needAlignments, a valid run whose kept alignment is missing (runs.tsv
  // gathered from elsewhere) is made again for it, but not recorded twice.
  // kInterrupted after a signal (runs that ended are recorded);
  // kWriteFailed when runs.tsv or an alignment could not be written (*error).
  EnsureStatus ensure(const std::vector<RunRequest>& requests, bool needAlignments,
                      std::string* error);

  // Called after each run made, with the record written.
  std::function<void(const RunRecord&)> onRun;

  std::string alignmentPath(size_t set, const runs::Configuration& configuration) const;
  // The kept alignment's rows per record (original residues, '-'); false
  // when it is missing or does not fit the data set.
  bool loadAlignment(size_t set, const runs::Configuration& configuration,
                     std::vector<std::string>* rows) const;

  const EvaluationStats& stats() const { return stats_; }
  const RunCache& cache() const { return cache_; }
  const std::vector<BenchmarkSet>& sets() const { return sets_; }

 private:
  struct Planned {
    size_t set;
    runs::Configuration configuration;
    int fileIndex;
    bool record;  // false: made again only for its alignment
  };
  // The runs to make, longest expected first.
  std::vector<Planned> plan(const std::vector<RunRequest>& requests, bool needAlignments) const;
  // Records a finished run: runs.tsv and its kept alignment; false when one
  // could not be written (*error).
  bool finish(const Planned& p, const runs::JobOutcome& outcome, std::string* error);

  const std::vector<BenchmarkSet>& sets_;
  RunCache& cache_;
  RunSettings settings_;
  advice::CostModel costModel_;
  EvaluationStats stats_;
  long nextFile_ = runs::kFirstRunFile;
};

}  // namespace training

#endif
