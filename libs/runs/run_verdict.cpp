#include "runs/run_verdict.h"

#include <cmath>

#include "runs/aligner_jobs.h"
#include "runs/alignment_check.h"

namespace runs {

const char kStatusDone[] = "done";
const char kStatusTimedOut[] = "timed out";
const char kStatusInterrupted[] = "interrupted";
const char kStatusNotRun[] = "not run";
const char kStatusOverBudget[] = "stopped at the time budget";
const char kStatusBudgetSpent[] = "not run: time budget spent";

std::string failedStatus(const std::string& why) { return "failed (" + why + ")"; }
std::string missingStatus(const std::string& program) { return "missing " + program; }
bool isFailedStatus(const std::string& status) { return status.rfind("failed", 0) == 0; }

namespace {

bool isScore(double value) { return std::isfinite(value) && value >= 0 && value <= 1; }

}  // namespace

RunVerdict judgeRun(const JobOutcome& outcome, const std::string& alignmentPath,
                    const DataSet& data, bool scored) {
  RunVerdict v;
  v.seconds = outcome.seconds;
  switch (outcome.status) {
    case JobStatus::kTimedOut:
      v.status = kStatusTimedOut;
      return v;
    case JobStatus::kInterrupted:
      v.status = kStatusInterrupted;
      return v;
    case JobStatus::kOverBudget:
      v.status = kStatusOverBudget;
      return v;
    case JobStatus::kNotStarted:
      v.status = kStatusBudgetSpent;
      return v;
    case JobStatus::kFailed:
      v.status = failedStatus(outcome.why);
      return v;
    case JobStatus::kDone:
      break;
  }
  RunnerResult runner;
  if (!parseRunnerResult(outcome.result, &runner)) {
    v.status = failedStatus("no result from the run");
    return v;
  }
  std::string why;
  if (!validateAlignment(alignmentPath, data, &v.rows, &why)) {
    v.status = failedStatus("invalid alignment: " + why);
    v.rows.clear();
    return v;
  }
  if (scored) {
    if (!isScore(runner.scoreA) || !isScore(runner.scoreB)) {
      v.status = failedStatus("scoring");
      v.rows.clear();
      return v;
    }
    v.scored = true;
    v.q = runner.scoreA;
    v.tc = runner.scoreB;
    if (runner.elapsed >= 0) {
      v.seconds = runner.elapsed / 1e6;
      v.alignerTimed = true;
    }
  }
  v.valid = true;
  v.status = kStatusDone;
  return v;
}

}  // namespace runs
