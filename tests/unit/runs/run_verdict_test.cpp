// The verdict on a finished aligner job: how the pool's outcome, the
// runner's result text, the alignment file and the scores make its status.
#include "runs/run_verdict.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "getChar.h"
#include "runs/aligner_jobs.h"
#include "runs/signal_guard.h"
#include "test_support.h"

namespace runs {
namespace {

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

class Verdict : public ::testing::Test {
 protected:
  RunVerdict judge(const std::string& result, bool scored, const std::string& alignment) {
    writeFile(dir.file("aln"), alignment);
    JobOutcome o;
    o.status = JobStatus::kDone;
    o.result = result;
    o.seconds = 7;
    return judgeRun(o, dir.file("aln"), data, scored);
  }
  TempDir dir;
  DataSet data{"", {"a", "b"}, {"ACDE", "ACE"}, 2};
  const std::string good = ">s1\nACDE\n>s2\nAC-E\n";
};

TEST_F(Verdict, AStoppedOrFailedJobIsNeverValid) {
  const std::pair<JobStatus, std::string> cases[] = {
      {JobStatus::kTimedOut, kStatusTimedOut},
      {JobStatus::kInterrupted, kStatusInterrupted},
      {JobStatus::kOverBudget, kStatusOverBudget},
      {JobStatus::kNotStarted, kStatusBudgetSpent},
      {JobStatus::kFailed, "failed (exit status 3)"}};
  writeFile(dir.file("aln"), good);  // a file left behind does not count
  for (const auto& [status, text] : cases) {
    JobOutcome o;
    o.status = status;
    o.why = "exit status 3";
    o.result = "0.5 0.5 100";
    const RunVerdict v = judgeRun(o, dir.file("aln"), data, true);
    EXPECT_EQ(v.status, text);
    EXPECT_FALSE(v.valid || v.scored) << text;
    EXPECT_TRUE(v.rows.empty()) << text;
  }
}

TEST_F(Verdict, ADoneJobNeedsARunnerResultAndAValidAlignment) {
  EXPECT_EQ(judge("", false, good).status, "failed (no result from the run)");
  EXPECT_EQ(judge("0.5 0.5", false, good).status, "failed (no result from the run)");
  const RunVerdict lost = judge("1 1 5", true, ">s1\nACD-\n>s2\nAC-E\n");
  EXPECT_EQ(lost.status.rfind("failed (invalid alignment: ", 0), 0u) << lost.status;
  EXPECT_TRUE(lost.rows.empty());
  std::remove(dir.file("aln").c_str());
  JobOutcome o;
  o.status = JobStatus::kDone;
  o.result = "1 1 5";
  EXPECT_FALSE(judgeRun(o, dir.file("aln"), data, false).valid);
}

TEST_F(Verdict, ScoresOutsideZeroToOneFailOnlyWhenTheRunIsScored) {
  for (const char* result : {"-1 -1 -1", "0.5 1.5 10", "nan 0.5 10"}) {
    const RunVerdict v = judge(result, true, good);
    EXPECT_EQ(v.status, "failed (scoring)") << result;
    EXPECT_TRUE(v.rows.empty()) << result;
  }
  // Without a reference the runner's scoring fails by design.
  const RunVerdict unscored = judge("-1 -1 -1", false, good);
  EXPECT_TRUE(unscored.valid && !unscored.scored);
  EXPECT_EQ(unscored.seconds, 7);
  EXPECT_EQ(unscored.rows, (std::vector<std::string>{"ACDE", "AC-E"}));
}

TEST_F(Verdict, AScoredRunTakesTheAlignersOwnTimeInMicroseconds) {
  const RunVerdict v = judge("0.75 0.5 2500000", true, good);
  EXPECT_EQ(v.status, kStatusDone);
  EXPECT_TRUE(v.valid && v.scored && v.alignerTimed);
  EXPECT_EQ(v.q, 0.75);
  EXPECT_EQ(v.tc, 0.5);
  EXPECT_EQ(v.seconds, 2.5);
  // No time from the runner: the pool's wall time stays.
  const RunVerdict untimed = judge("0.75 0.5 -1", true, good);
  EXPECT_FALSE(untimed.alignerTimed);
  EXPECT_EQ(untimed.seconds, 7);
}

TEST(AlignerJob, AMissingToolsFolderFailsTheJobLoudlyWithoutRunningAnything) {
  TempDir dir;
  const std::string tools = dir.file("no-tools");
  const Configuration mafft{MAFFT, "--auto"};
  SignalGuard guard;  // as the programs run jobs, and no signal left from before
  std::vector<JobOutcome> outcomes;
  JobPoolSettings settings;
  const std::string log = dir.file("log");
  writeFile(log, "");
  settings.outputFd = ::open(log.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(settings.outputFd, 0);
  runJobs(
      {alignerJob(tools, dir.file("in.fasta"), dir.file("ref"), mafft, 1, 2),
       mergeJob(tools, dir.file("in.fasta"), dir.file("ref"))},
      settings, [](size_t, const JobOutcome&) {}, &outcomes);
  ::close(settings.outputFd);
  ASSERT_EQ(outcomes.size(), 2u);
  for (const JobOutcome& o : outcomes) EXPECT_EQ(o.status, JobStatus::kFailed) << o.why;
  EXPECT_NE(readFile(log).find("cannot enter '" + tools + "'"), std::string::npos) << readFile(log);
  EXPECT_EQ(judgeRun(outcomes[0], dir.file("aln"), DataSet(), true).status,
            failedStatus(outcomes[0].why));
}

}  // namespace
}  // namespace runs
