// The job pool with real child processes: results, failures, timeouts that
// kill a whole process group, and an interruption by a signal.
#include "runs/job_pool.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "runs/run_folder.h"
#include "runs/signal_guard.h"
#include "test_support.h"

namespace runs {
namespace {

using testing_support::fileExists;
using testing_support::TempDir;

std::vector<JobOutcome> runAll(const std::vector<JobWork>& jobs, JobPoolSettings settings,
                               bool* completed = nullptr) {
  std::vector<JobOutcome> outcomes;
  size_t reported = 0;
  const bool done = runJobs(
      jobs, settings, [&](size_t, const JobOutcome&) { ++reported; }, &outcomes);
  if (completed) *completed = done;
  if (done) {
    EXPECT_EQ(reported, jobs.size());
  }
  return outcomes;
}

TEST(JobPool, ReturnsResultsAndTellsFailures) {
  JobPoolSettings settings;
  settings.maxJobs = 2;
  const std::vector<JobOutcome> o =
      runAll({[] { return std::string("0.5 0.25 1000"); },
              [] {
                ::_exit(3);
                return std::string();
              },
              [] {
                ::raise(SIGKILL);
                return std::string();
              },
              []() -> std::string { throw std::runtime_error("no"); }},
             settings);
  EXPECT_EQ(o[0].status, JobStatus::kDone);
  EXPECT_EQ(o[0].result, "0.5 0.25 1000");
  EXPECT_EQ(o[1].status, JobStatus::kFailed);
  EXPECT_EQ(o[1].why, "exit status 3");
  EXPECT_EQ(o[2].why, "killed by signal 9");
  EXPECT_EQ(o[3].status, JobStatus::kFailed);
}

TEST(JobPool, TimeoutKillsTheWholeProcessGroup) {
  TempDir dir;
  const std::string marker = dir.file("late");
  JobPoolSettings settings;
  settings.timeoutSeconds = 0.5;
  settings.graceSeconds = 0.5;
  // The grandchild would write the marker after 2 s if it survived.
  const std::vector<JobOutcome> o =
      runAll({[&] { return std::to_string(std::system(("sleep 2 && touch " + marker).c_str())); },
              [] { return std::string("quick"); }},
             settings);
  EXPECT_EQ(o[0].status, JobStatus::kTimedOut);
  EXPECT_LT(o[0].seconds, 1.9);
  EXPECT_EQ(o[1].status, JobStatus::kDone);
  ::sleep(2);
  EXPECT_FALSE(fileExists(marker));
}

// At the deadline the running job is stopped and the waiting one never
// starts; a job that ended before it keeps its result.
TEST(JobPool, DeadlineStopsRunningAndSkipsWaitingJobs) {
  JobPoolSettings settings;
  settings.maxJobs = 2;
  settings.deadlineSeconds = 0.5;
  settings.graceSeconds = 0.2;
  const std::vector<JobOutcome> o =
      runAll({[] { return std::string("quick"); },
              [] { return std::to_string(std::system("sleep 3")); },
              [] { return std::to_string(std::system("sleep 3")); },
              [] { return std::string("never"); }},
             settings);
  EXPECT_EQ(o[0].status, JobStatus::kDone);
  EXPECT_EQ(o[0].result, "quick");
  EXPECT_EQ(o[1].status, JobStatus::kOverBudget);
  EXPECT_LT(o[1].seconds, 2.0);
  EXPECT_EQ(o[2].status, JobStatus::kOverBudget);
  EXPECT_EQ(o[3].status, JobStatus::kNotStarted);
}

// A protected job outlives the deadline and still starts after it; a
// deadline the caller moves is followed as it moves.
TEST(JobPool, ProtectedJobsOutliveTheDeadlineWhichMayMove) {
  JobPoolSettings settings;
  settings.maxJobs = 1;
  settings.deadlineSeconds = 0.3;
  settings.graceSeconds = 0.2;
  settings.protectedJobs = {0, 2};
  std::vector<JobOutcome> o =
      runAll({[] { return std::to_string(std::system("sleep 0.6")); },
              [] { return std::string("skipped"); }, [] { return std::string("late"); }},
             settings);
  EXPECT_EQ(o[0].status, JobStatus::kDone);
  EXPECT_EQ(o[1].status, JobStatus::kNotStarted);
  EXPECT_EQ(o[2].status, JobStatus::kDone);
  EXPECT_EQ(o[2].result, "late");

  // Moved from 1 s to 60 s when the first job ends: the second, a 2 s job,
  // is not stopped.
  bool moved = false;
  settings = JobPoolSettings();
  settings.maxJobs = 2;
  settings.deadline = [&] { return moved ? 60.0 : 1.0; };
  std::vector<JobOutcome> outcomes;
  runJobs({[] { return std::string("first"); },
           [] { return std::to_string(std::system("sleep 2")); }},
          settings, [&](size_t job, const JobOutcome&) { moved = moved || job == 0; }, &outcomes);
  EXPECT_EQ(outcomes[1].status, JobStatus::kDone);
}

TEST(JobPool, SignalStopsRunningAndPendingJobs) {
  SignalGuard guard;
  TempDir dir;
  const std::string marker = dir.file("late");
  JobPoolSettings settings;
  settings.graceSeconds = 0.5;
  const pid_t parent = ::getpid();
  bool completed = true;
  const std::vector<JobOutcome> o =
      runAll({[&] {
                ::kill(parent, SIGTERM);
                return std::to_string(std::system(("sleep 2 && touch " + marker).c_str()));
              },
              [] { return std::string("never"); }},
             settings, &completed);
  EXPECT_FALSE(completed);
  EXPECT_EQ(SignalGuard::caught(), SIGTERM);
  EXPECT_EQ(o[0].status, JobStatus::kInterrupted);
  EXPECT_EQ(o[1].status, JobStatus::kInterrupted);
  ::sleep(2);
  EXPECT_FALSE(fileExists(marker));
}

}  // namespace
}  // namespace runs
