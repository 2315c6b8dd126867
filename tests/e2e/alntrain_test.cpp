// The alntrain program as a user runs it: usage errors, refusals that leave
// runs.tsv alone, and a training stopped in the middle (Ctrl-C, or killed
// outright) that --resume continues without losing or repeating a run.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"
#include "tools_folder.h"

using namespace testing_support;

namespace {

const std::string kTrainer = ALNTRAIN_EXE;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  return out;
}

// (hash, aligner, options) of each run line.
std::vector<std::string> runKeys(const std::string& runs) {
  std::vector<std::string> keys;
  for (const std::string& line : lines(runs)) {
    std::vector<std::string> f;
    for (size_t s = 0, t;; s = t + 1) {
      t = line.find('\t', s);
      f.push_back(line.substr(s, t == std::string::npos ? t : t - s));
      if (t == std::string::npos) break;
    }
    if (f.size() == 8 && f[0] != "hash") keys.push_back(f[0] + "|" + f[2] + "|" + f[3]);
  }
  return keys;
}

class AlntrainProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    bench = dir.file("bench");
    ::mkdir(bench.c_str(), 0755);
  }
  void addExample(const std::string& name) {
    const std::string base =
        (name == "BB11002" ? "/usr/share/dialign-tx/" : "/usr/share/doc/kalign/examples/") + name;
    writeFile(bench + "/" + name + ".fasta", readFile(base + ".tfa"));
    writeFile(bench + "/" + name + ".msf", readFile(base + ".msf"));
  }
  RunResult train(std::vector<std::string> args) {
    args.insert(args.begin(), kTrainer);
    return runProgram(args, dir.path());
  }
  void expectRefused(const std::vector<std::string>& args, const std::string& message) {
    const RunResult r = train(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err.rfind("alntrain: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
  // Starts a training in the background; its output goes to dir/err.
  pid_t start(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::chdir(dir.path().c_str());
      const int err = ::open("err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, 2);
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(kTrainer.c_str()));
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(kTrainer.c_str(), argv.data());
      ::_exit(127);
    }
    return child;
  }
  // Waits until runs.tsv holds at least n runs (or the child ended).
  void waitForRuns(pid_t child, size_t n) {
    for (int i = 0; i < 3000; ++i) {
      if (runKeys(readFile(dir.file("out/runs.tsv"))).size() >= n) return;
      int status;
      if (::waitpid(child, &status, WNOHANG) == child) FAIL() << "ended before " << n << " runs";
      ::usleep(20000);
    }
    FAIL() << "no " << n << " runs in a minute";
  }
  static bool runFolderOf(pid_t pid) {
    bool seen = false;
    DIR* tmp = ::opendir("/tmp");
    while (dirent* e = tmp ? ::readdir(tmp) : nullptr)
      seen |= std::string(e->d_name).rfind("fasta" + std::to_string(pid), 0) == 0;
    if (tmp) ::closedir(tmp);
    return seen;
  }
  std::vector<std::string> common() const {
    return {"--tools", realToolsFolder(), "-o", "out", "-j",   "1", "--population",
            "6",       "--generations",   "3",  "-q",  "bench"};
  }

  TempDir dir;
  std::string bench;
};

TEST_F(AlntrainProgram, HelpVersionAndRefusals) {
  RunResult r = train({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* option : {"--out", "--seed", "--generations", "--population", "--budget",
                             "--jobs", "--aligners", "--timeout", "--resume", "--folds"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  r = train({"--version"});
  EXPECT_EQ(r.out.rfind("alntrain ", 0), 0u);
  expectRefused({}, "BENCHMARK_DIR");
  expectRefused({"--bogus", "bench"}, "bogus");
  expectRefused({"--resume", "--force", "bench"}, "exclude each other");
  expectRefused({"--runs-only", "bench"}, "--runs-only needs --configurations");
  writeFile(dir.file("timings.tsv"), "data_set\tfamily\tsequences\tlength\tseconds\tQ\nx\tkalign\t4\n");
  expectRefused({"--timings", "timings.tsv", "bench"}, "timings.tsv' line 2 is not a timing");
  expectRefused({"--list-configurations", "bench"}, "takes no BENCHMARK_DIR");
  r = train({"--list-configurations", "--aligners", "mafft,kalign", "--sample", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "MAFFT\t\nKALIGN\t\n");
  writeFile(dir.file("list"), "KALIGN\t-gpo 3.5\n");
  expectRefused({"--tools", realToolsFolder(), "--aligners", "mafft", "--configurations",
                 dir.file("list"), "bench"},
                "lists KALIGN -gpo 3.5, which --aligners leaves out");
  expectRefused({"--tools", realToolsFolder(), "bench"}, "holds no pair");
  expectRefused({"--tools", realToolsFolder(), "--population", "3", "bench"},
                "cannot hold the 5 default configurations");
  expectRefused({"--tools", dir.path(), "bench"}, "no aligners in");
  addExample("BB11001");
  expectRefused({"--tools", realToolsFolder(), "--folds", "2", "bench"},
                "--folds must be between 2 and the number of data sets (1)");
  expectRefused({"--tools", realToolsFolder(), "--space", dir.file("none.json"), "bench"},
                "cannot read the option space");
  // Runs of an earlier training are never mixed in or thrown away unasked.
  ::mkdir(dir.file("out").c_str(), 0755);
  writeFile(dir.file("out/runs.tsv"), "earlier runs\n");
  expectRefused({"--tools", realToolsFolder(), "-o", "out", "bench"}, "--resume");
  EXPECT_EQ(readFile(dir.file("out/runs.tsv")), "earlier runs\n");
  expectRefused({"--tools", realToolsFolder(), "-o", "out", "--resume", "bench"},
                "does not start with the runs header");
  EXPECT_EQ(readFile(dir.file("out/runs.tsv")), "earlier runs\n");
}

TEST_F(AlntrainProgram, AStopInTheMiddleLosesNothingAndResumeRepeatsNothing) {
  for (const char* name : {"BB11001", "BB12006", "BB11002"}) addExample(name);

  // Ctrl-C: runs stopped, the run folder removed, status 130.
  pid_t child = start(common());
  waitForRuns(child, 12);
  ::kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130) << readFile(dir.file("err"));
  EXPECT_FALSE(runFolderOf(child));
  EXPECT_NE(readFile(dir.file("err")).find("--resume"), std::string::npos);
  const std::string afterInterrupt = readFile(dir.file("out/runs.tsv"));

  // Killed outright: at most the line being written is lost.
  std::vector<std::string> args = common();
  args.insert(args.begin(), "--resume");
  child = start(args);
  waitForRuns(child, runKeys(afterInterrupt).size() + 10);
  ::kill(child, SIGKILL);
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  std::error_code ignored;
  for (const auto& e : std::filesystem::directory_iterator("/tmp", ignored))
    if (e.path().filename().string().rfind("fasta" + std::to_string(child), 0) == 0)
      std::filesystem::remove_all(e.path(), ignored);
  const std::string afterKill = readFile(dir.file("out/runs.tsv"));
  EXPECT_EQ(afterKill.substr(0, afterInterrupt.size()), afterInterrupt);

  const RunResult r = train(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string runs = readFile(dir.file("out/runs.tsv"));
  const std::string complete = afterKill.substr(0, afterKill.rfind('\n') + 1);
  EXPECT_EQ(runs.substr(0, complete.size()), complete);
  const std::vector<std::string> keys = runKeys(runs);
  EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
  EXPECT_GT(keys.size(), runKeys(afterKill).size());
  EXPECT_TRUE(fileExists(dir.file("out/front.txt")));

  // A second resume finds every run made: nothing runs again.
  const RunResult again = train(args);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(readFile(dir.file("out/runs.tsv")), runs);
}

}  // namespace
