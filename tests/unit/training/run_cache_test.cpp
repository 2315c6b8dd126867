// runs.tsv: lines read back as written, resume after a torn line, refusals,
// and a failed append that leaves no partial line.
#include "training/run_cache.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "getChar.h"
#include "test_support.h"

namespace training {
namespace {

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

RunRecord run(const std::string& hash, int kind, const std::string& options, double q) {
  RunRecord r;
  r.hash = hash;
  r.dataSet = "set " + hash;
  r.configuration = runs::makeConfiguration(kind, options);
  r.q = q;
  r.tc = q / 2;
  r.seconds = 1.23456;
  r.status = "done";
  return r;
}

TEST(RunCache, LinesReadBackAsWrittenAndTheLaterLineCounts) {
  TempDir dir;
  const std::string path = dir.file("runs.tsv");
  {
    RunCache cache;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(cache.open(path, true, &warnings, &error)) << error;
    ASSERT_TRUE(cache.append(run("aa", MAFFT, "--op 1", 0.5), &error)) << error;
    RunRecord failed = run("aa", MUSCLE, "", 0);
    failed.status = "failed (exit status 1)";
    ASSERT_TRUE(cache.append(failed, &error));
    ASSERT_TRUE(cache.append(run("aa", MAFFT, "--op 1", 0.75), &error));
    EXPECT_EQ(cache.size(), 2u);
    // Numbers are remembered as the file tells them.
    EXPECT_EQ(cache.find("aa", runs::makeConfiguration(MAFFT, "--op 1"))->seconds, 1.2346);
  }
  const std::string text = readFile(path);
  EXPECT_EQ(text.substr(0, text.find('\n')), kRunsHeader);
  EXPECT_NE(text.find("aa\tset aa\tMUSCLE\t\tNA\tNA\t1.2346\tfailed (exit status 1)\n"),
            std::string::npos);
  RunCache cache;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(cache.open(path, true, &warnings, &error));
  EXPECT_TRUE(warnings.empty());
  const RunRecord* r = cache.find("aa", runs::makeConfiguration(MAFFT, " --op  1"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->q, 0.75);
  EXPECT_EQ(r->tc, 0.375);
  EXPECT_FALSE(cache.find("aa", runs::makeConfiguration(MUSCLE, ""))->valid());
  EXPECT_EQ(cache.find("bb", runs::makeConfiguration(MAFFT, "--op 1")), nullptr);
  EXPECT_EQ(cache.runsOf("aa").size(), 2u);
}

TEST(RunCache, ResumeCutsATornLastLineAndSkipsBadOnes) {
  TempDir dir;
  const std::string path = dir.file("runs.tsv");
  const std::string good = formatRunLine(run("aa", KALIGN, "", 0.5));
  writeFile(path, std::string(kRunsHeader) + "\n" + good + "aa\tx\tKALIGN\t-gpo 2\t0.9\n" +
                      "bb\tx\tNOSUCH\t\t0.5\t0.5\t1\tdone\n" +
                      // Not numbers: a Q of nan, infinite seconds.
                      "dd\tx\tMAFFT\t\tnan\t0.3\t2\tdone\n" +
                      "ee\tx\tMAFFT\t\tNA\tNA\tinf\ttimed out\n" +
                      "cc\tx\tMAFFT\t\t0.4\t0.3\t2\td");
  RunCache cache;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(cache.open(path, true, &warnings, &error)) << error;
  ASSERT_EQ(warnings.size(), 5u);
  EXPECT_NE(warnings[0].find("cut short"), std::string::npos);
  EXPECT_NE(warnings[1].find("line 3: 5 fields"), std::string::npos);
  EXPECT_NE(warnings[2].find("unknown aligner"), std::string::npos);
  EXPECT_NE(warnings[3].find("line 5: Q and TC"), std::string::npos) << warnings[3];
  EXPECT_NE(warnings[4].find("line 6: seconds 'inf'"), std::string::npos) << warnings[4];
  EXPECT_EQ(cache.size(), 1u);
  // The torn line is gone from the file; the unreadable ones stay there.
  const std::string text = readFile(path);
  EXPECT_EQ(text.find("cc\t"), std::string::npos);
  EXPECT_NE(text.find("NOSUCH"), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
}

TEST(RunCache, RefusesFilesThatAreNotRunFiles) {
  TempDir dir;
  writeFile(dir.file("other.tsv"), "name\tvalue\n");
  for (const std::string& path : {dir.file("other.tsv"), dir.path(), std::string("/dev/null")}) {
    RunCache cache;
    std::vector<std::string> warnings;
    std::string error;
    EXPECT_FALSE(cache.open(path, true, &warnings, &error)) << path;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(readFile(dir.file("other.tsv")), "name\tvalue\n");
}

TEST(RunCache, AFailedAppendLeavesNoPartialLine) {
  TempDir dir;
  const std::string path = dir.file("runs.tsv");
  const pid_t child = ::fork();
  if (child == 0) {
    // The file may grow by a few bytes only: the next line cannot be written.
    ::signal(SIGXFSZ, SIG_IGN);
    RunCache cache;
    std::vector<std::string> warnings;
    std::string error;
    if (!cache.open(path, true, &warnings, &error)) ::_exit(10);
    const rlimit limit = {static_cast<rlim_t>(std::string(kRunsHeader).size() + 20), RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool appended =
        cache.append(run("aa", MAFFT, "--localpair --maxiterate 1000", 0.5), &error);
    ::_exit(appended ? 11 : error.find("cannot append") != std::string::npos ? 0 : 12);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readFile(path), std::string(kRunsHeader) + "\n");
}

}  // namespace
}  // namespace training
