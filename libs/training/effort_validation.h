// Each effort's advice judged held out. The cross-validation runs every
// candidate; an effort's default budget runs fewer, and the learnt choice
// among fewer alignments is another choice. For each held-out data set and
// effort, the candidates that budget runs are planned as the advisor plans
// them (the shipped cost model, a gain model fitted without the set's fold,
// `jobs` cores), the features are computed among the valid ones alone, and
// switching away from --auto is judged as for all candidates
// (choice_fit.h's judgeSwitching): each set with the margin of the other
// folds, and a margin over all of them for the effort to ship.
#ifndef TRAINING_EFFORT_VALIDATION_H
#define TRAINING_EFFORT_VALIDATION_H

#include <string>
#include <vector>

#include "advice/advisor.h"
#include "advice/choice_model.h"
#include "advice/cost_model.h"
#include "advice/gain_model.h"
#include "training/benchmark_set.h"
#include "training/cross_validation.h"

namespace training {

// The cores each effort is judged on: those of the benchmark figures.
const int kEffortJobs = 2;

// Which of the held-out set's candidates (h.runs) the effort's default
// budget runs on `jobs` cores, planned as the advisor plans them.
std::vector<bool> plannedRuns(const HeldOut& h, const BenchmarkSet& set,
                              const advice::Effort& effort, const advice::GainModel& gains,
                              const advice::CostModel& cost, int jobs);

// gainPerFold[f]: the gain model fitted without fold f + 1's data sets.
std::vector<advice::EffortCheck> validateEfforts(const std::vector<HeldOut>& results,
                                                 const std::vector<BenchmarkSet>& sets,
                                                 const LearntChoice& learnt,
                                                 const std::vector<advice::GainModel>& gainPerFold,
                                                 const advice::CostModel& costModel, int jobs);

// The training report's paragraph on them.
std::string formatEffortChecks(const std::vector<advice::EffortCheck>& checks, int jobs);

}  // namespace training

#endif
