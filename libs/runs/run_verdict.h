// The verdict on one aligner run, for every program that makes runs: what
// its status says, and whether it left a usable alignment and scores. Every
// status text a run can have is spelled in run_verdict.cpp:
//   "done"                              an alignment that passed the check
//   "failed (<why>)"                    the process failed, left no result,
//                                       an invalid alignment, or no scores
//   "timed out", "interrupted"          stopped by the job pool
//   "stopped at the time budget"        stopped at the pool's deadline
//   "missing bin/<program>", "not run"  never started
//   "not run: time budget spent"        the deadline came before it started
#ifndef RUNS_RUN_VERDICT_H
#define RUNS_RUN_VERDICT_H

#include <string>
#include <vector>

#include "runs/data_set.h"
#include "runs/job_pool.h"

namespace runs {

extern const char kStatusDone[];
extern const char kStatusTimedOut[];
extern const char kStatusInterrupted[];
extern const char kStatusNotRun[];
extern const char kStatusOverBudget[];
extern const char kStatusBudgetSpent[];
std::string failedStatus(const std::string& why);       // "failed (<why>)"
std::string missingStatus(const std::string& program);  // "missing <program>"
bool isFailedStatus(const std::string& status);         // starts with "failed"

struct RunVerdict {
  std::string status;
  bool valid = false;             // status is kStatusDone
  std::vector<std::string> rows;  // valid: per record, original residues and '-'
  bool scored = false;            // valid and scored: Q and TC below
  double q = 0, tc = 0;
  // The process's wall time; for a scored run, the aligner's own time as
  // the runner measured it (alignerTimed).
  double seconds = 0;
  bool alignerTimed = false;
};

// Judges a finished job of alignerJob or mergeJob whose alignment is at
// alignmentPath. With scored, the runner's Q and TC must be numbers in
// [0, 1]; otherwise they are not looked at (without a reference the
// runner's scoring fails by design).
RunVerdict judgeRun(const JobOutcome& outcome, const std::string& alignmentPath,
                    const DataSet& data, bool scored);

}  // namespace runs

#endif
