// The timings the cost model is fitted on (advice/cost_model.h).
//
// timings.tsv: a header line, then one line per timed run, tab-separated:
//   data_set  family  sequences  length  seconds  Q
// length is the data set's mean sequence length and Q "NA" without a
// score. Only runs that produced an alignment are timed: a run that timed
// out tells a lower bound, not a time.
#ifndef TRAINING_COST_FIT_H
#define TRAINING_COST_FIT_H

#include <string>
#include <vector>

#include "advice/cost_model.h"
#include "training/benchmark_set.h"
#include "training/run_cache.h"

namespace training {

// The valid runs of the cache on these data sets.
std::vector<advice::TimedRun> timedRuns(const std::vector<BenchmarkSet>& sets,
                                        const RunCache& cache);

std::string formatTimings(const std::vector<advice::TimedRun>& runs);

// Appends the file's runs to *runs; false with the file, line and fault.
bool readTimings(const std::string& path, std::vector<advice::TimedRun>* runs, std::string* error);

}  // namespace training

#endif
