// Runs jobs in forked children, a few at once, each in a process group of its
// own so that a timeout or an interruption stops everything it started.
#ifndef RUNS_JOB_POOL_H
#define RUNS_JOB_POOL_H

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace runs {

// The work of one child: runs there and returns a short text (under 4 KiB)
// for the parent. It must not return to the caller's stack in any other way:
// the child ends with _exit after it.
using JobWork = std::function<std::string()>;

// kOverBudget: still running at the pool's deadline, stopped; kNotStarted:
// the deadline came before the job could start.
enum class JobStatus { kDone, kFailed, kTimedOut, kInterrupted, kOverBudget, kNotStarted };

struct JobOutcome {
  JobStatus status = JobStatus::kFailed;
  std::string result;  // what the work returned (kDone only)
  std::string why;     // for kFailed: "exit status 3", "killed by signal 9", ...
  double seconds = 0;  // wall time from fork to exit, monotonic clock
};

struct JobPoolSettings {
  int maxJobs = 1;
  double timeoutSeconds = 0;  // per job, from its start; 0: none
  // Seconds from the start of runJobs after which every job still running
  // is stopped and no other starts; 0: none. When deadline is set, it is
  // asked instead, each time the pool looks (a deadline that moves as runs
  // tell how fast the machine is today).
  double deadlineSeconds = 0;
  std::function<double()> deadline;
  // Jobs the deadline neither stops nor keeps from starting (the run the
  // caller must have); only their timeout or a signal stops them.
  std::vector<size_t> protectedJobs;
  double graceSeconds = 2;    // between SIGTERM and SIGKILL
  int outputFd = -1;          // children's stdout and stderr; -1: /dev/null
};

// Runs every job, at most maxJobs at once, starting them in the given order.
// onFinish is called in the parent as each job ends (in order of ending).
// Returns false when a signal caught by SignalGuard interrupted the run:
// every running child's process group was then killed and reaped, and jobs
// not yet started are reported as kInterrupted.
bool runJobs(const std::vector<JobWork>& jobs, const JobPoolSettings& settings,
             const std::function<void(size_t, const JobOutcome&)>& onFinish,
             std::vector<JobOutcome>* outcomes);

// The cores online (at least 1): the default number of jobs at once.
int onlineCores();

// Seconds on the monotonic clock since start.
double secondsSince(std::chrono::steady_clock::time_point start);

}  // namespace runs

#endif
