// The alnadvise program as a user runs it: options, exit statuses, messages,
// the output folder, names that must come back unchanged, and Ctrl-C.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "test_support.h"
#include "tools_folder.h"

using namespace testing_support;

namespace {

const std::string kAdvisor = ALNADVISE_EXE;
const std::string kExamples = "/usr/share/doc/kalign/examples/";

class AlnadviseProgram : public ::testing::Test {
 protected:
  RunResult advise(std::vector<std::string> args) {
    args.insert(args.begin(), kAdvisor);
    return runProgram(args, dir.path());
  }
  // A usage or input error: status 2, one line on stderr, no output folder.
  void expectRefused(const std::vector<std::string>& args, const std::string& message) {
    const RunResult r = advise(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err.rfind("alnadvise: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fileExists(dir.file("out")));
  }
  TempDir dir;
};

TEST_F(AlnadviseProgram, HelpVersionAndUsageErrors) {
  RunResult r = advise({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* option :
       {"--ref", "--out", "--table", "--front", "--jobs", "--aligners", "--timeout", "--merge",
        "--keep", "--tools", "--format", "--quiet", "--no-html", "--budget", "--cost-model",
        "--effort", "--calibrate"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  r = advise({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("alnadvise ", 0), 0u);
  expectRefused({}, "DATA_SET");
  expectRefused({"--bogus", "x.fa"}, "bogus");
  expectRefused({"--format", "xml", "x.fa"}, "xml");
  expectRefused({"--aligners", "mafft,tcoffee", "x.fa"}, "tcoffee");
  expectRefused({"--budget", "-5", "x.fa"}, "budget");
}

// --calibrate times the real MAFFT --auto and writes the factor beside the
// model, which the next advice reads; a failed run or a file that cannot
// be written leaves no factor behind.
TEST_F(AlnadviseProgram, CalibrateStoresTheSpeedFactorBesideTheModel) {
  const std::string model = dir.file("model/cost-model.json");
  ASSERT_EQ(::mkdir(dir.file("model").c_str(), 0755), 0);
  writeFile(model, readFile(std::string(GETCHAR_SOURCE_DATA_DIR) + "/cost-model.json"));
  ASSERT_TRUE(makeToolsFolder(dir.file("failing"), {{"mafft", "exit 1\n"}}));
  RunResult r = advise({"--calibrate", "--tools", "failing", "--cost-model", model});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("calibration failed: MAFFT --auto on reference family 1"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fileExists(dir.file("model/cost-calibration.json")));

  r = advise({"--calibrate", "-q", "--tools", realToolsFolder(), "--cost-model", model});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json c = nlohmann::json::parse(readFile(dir.file("model/cost-calibration.json")));
  const double factor = c["speedFactor"].get<double>();
  EXPECT_GT(factor, 0);
  EXPECT_EQ(c["runs"].size(), 3u);
  EXPECT_NE(r.out.find("speed factor"), std::string::npos) << r.out;
  r = advise({"-q", "--tools", realToolsFolder(), "--cost-model", model, "--aligners", "kalign",
              "-o", "out", kExamples + "BB11001.tfa"});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json report = nlohmann::json::parse(readFile(dir.file("out/report.json")));
  EXPECT_EQ(report["budget"]["calibration"]["speedFactor"].get<double>(), factor);

  // A malformed calibration stops the advice; a folder in its place stops
  // the calibration's write.
  std::filesystem::remove_all(dir.file("out"));
  writeFile(dir.file("model/cost-calibration.json"), "{\"speedFactor\": 0}");
  expectRefused({"--cost-model", model, "-o", "out2", kExamples + "BB11001.tfa"},
                "cost-calibration.json' is malformed");
  ASSERT_EQ(::unlink(dir.file("model/cost-calibration.json").c_str()), 0);
  ASSERT_EQ(::mkdir(dir.file("model/cost-calibration.json").c_str(), 0755), 0);
  r = advise({"--calibrate", "-q", "--tools", realToolsFolder(), "--cost-model", model});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--cost-model"), std::string::npos) << r.err;
}

TEST_F(AlnadviseProgram, BadInputsAreRefusedBeforeAnythingIsWritten) {
  const std::string good = ">a\nACDEFGHIK\n>b\nACDEFGHK\n";
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {"", "is empty"},
      {"\n\n", "no FASTA record"},
      {">only\nACDE\n", "one sequence"},
      {">a\nACDE\n>b\nACDE\n", "all identical"},
      {">a\nAC#DE\n>b\nACDE\n", "not a residue letter"},
      {">a\nACDE\n>a\nACDF\n", "same name"},
  };
  for (const auto& input : inputs) {
    writeFile(dir.file("in.fa"), input.first);
    expectRefused({"-o", "out", "in.fa"}, input.second);
  }
  expectRefused({"-o", "out", "missing.fa"}, "cannot open");
  writeFile(dir.file("in.fa"), good);
  writeFile(dir.file("ref.fa"), ">a\nACDEFGHIK\n>z\nACDEFGH-K\n");
  expectRefused({"-o", "out", "-r", "ref.fa", "in.fa"}, "'z' matches no sequence name");
  writeFile(dir.file("ref.fa"), "a ACDEFGHIK\nb ACDEFGHK\n");
  expectRefused({"-o", "out", "-r", "ref.fa", "in.fa"}, "neither aligned FASTA nor MSF");
  expectRefused({"-o", "out", "--tools", dir.file("nowhere"), "in.fa"}, "no aligners in");
  expectRefused({"-o", "out", "-t", dir.file("no-table"), "--tools", dir.path(), "in.fa"},
                "no aligners in");
  // An output folder under a regular file cannot be made, even by root.
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {}));
  writeFile(dir.file("file"), "");
  const RunResult r = advise({"-o", "file/out", "--tools", "tools", "in.fa"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot create output folder 'file/out'"), std::string::npos) << r.err;
  expectRefused({"-o", "out", "-t", "no-table", "--tools", "tools", "in.fa"},
                "cannot read the reference table");
}

TEST_F(AlnadviseProgram, WritesOriginalNamesAndRefusesToOverwriteWithoutForce) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {}));
  const std::string longName = "long" + std::string(196, 'x');
  const std::vector<std::string> names = {"sp|A| with blanks; and $(touch hacked)", longName,
                                          "`id` & \"quotes\" > redirect", "plain"};
  const std::vector<std::string> residues = {"MKVLAAGIVGLLLAHSEQWRB", "MKVLAGIVGLLAHSEQWR",
                                             "MKILAAGIVGLLHSEEWRX", "MRVLAAGVVGLLAHSEQWK"};
  std::string fasta;
  for (size_t i = 0; i < names.size(); ++i) fasta += ">" + names[i] + "\n" + residues[i] + "\n";
  writeFile(dir.file("my data.fa"), fasta);
  const std::vector<std::string> args = {
      "--tools",  "tools",     "--aligners", "kalign,muscle,mafft",
      "-t",       "/dev/null", "-f",         "/dev/null",
      "--format", "json",      "-q",         "my data.fa"};
  RunResult r = advise(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(fileExists(dir.file("hacked")));
  const nlohmann::json report = nlohmann::json::parse(r.out);
  EXPECT_EQ(report["dataSet"]["names"], names);
  EXPECT_EQ(report, nlohmann::json::parse(readFile(dir.file("my data.advise/report.json"))));

  // best.fasta: the original names, and the original residues once gaps go.
  std::ifstream best(dir.file("my data.advise/best.fasta"));
  std::string line, name;
  std::vector<std::string> seenNames, seenResidues;
  while (std::getline(best, line)) {
    if (line[0] == '>') {
      seenNames.push_back(line.substr(1));
      seenResidues.emplace_back();
    } else {
      for (char c : line)
        if (c != '-') seenResidues.back() += c;
    }
  }
  EXPECT_EQ(seenNames, names);
  EXPECT_EQ(seenResidues, residues);
  const std::string tsv = readFile(dir.file("my data.advise/report.tsv"));
  EXPECT_EQ(tsv.substr(0, tsv.find('\n')),
            "rank\taligner\toptions\treason\tQ\tTC\tagreement\tpredicted\tseconds\tstatus\tfile");

  r = advise(args);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("is not empty (use --force"), std::string::npos) << r.err;
  writeFile(dir.file("my data.advise/alignments/stale.fasta"), ">old\n");
  std::vector<std::string> forced = args;
  forced.insert(forced.begin(), "--force");
  EXPECT_TRUE(fileExists(dir.file("my data.advise/report.html")));
  // --no-html: no page, and none left from the run before.
  forced.insert(forced.begin(), "--no-html");
  r = advise(forced);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fileExists(dir.file("my data.advise/alignments/stale.fasta")));
  EXPECT_FALSE(fileExists(dir.file("my data.advise/report.html")));
  EXPECT_TRUE(fileExists(dir.file("my data.advise/report.json")));

  // A report that cannot reach standard output is a failure.
  std::vector<std::string> full = {"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full", kAdvisor};
  full.insert(full.end(), forced.begin(), forced.end());
  r = runProgram(full, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("alnadvise: cannot write standard output"), std::string::npos) << r.err;
}

// Process ids that the fake aligners recorded in folder.
// alnadvise started in folder with args, its output dropped; its pid (-1
// when fork failed).
pid_t startAdvisor(const std::string& folder, std::vector<std::string> args) {
  args.insert(args.begin(), kAdvisor);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::chdir(folder.c_str());
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, 1);
    ::dup2(devNull, 2);
    ::execv(kAdvisor.c_str(), argv.data());
    ::_exit(127);
  }
  return child;
}

std::vector<pid_t> recordedPids(const std::string& folder) {
  std::vector<pid_t> pids;
  DIR* d = ::opendir(folder.c_str());
  if (!d) return pids;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.rfind("pid.", 0) == 0) pids.push_back(std::stoi(name.substr(4)));
  }
  ::closedir(d);
  return pids;
}

// Running, not a zombie waiting to be reaped.
bool alive(pid_t pid) {
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
}

TEST_F(AlnadviseProgram, InterruptStopsEveryRunAndRemovesTheRunFolder) {
  const std::string marks = dir.file("marks");
  ::mkdir(marks.c_str(), 0755);
  const std::string hang = "touch " + marks + "/pid.$$\nsleep 60\n";
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {{"kalign2", hang}, {"muscle3.8", hang}}));
  writeFile(dir.file("in.fa"), ">a\nACDEFGHIK\n>b\nACDEFGHK\n");
  const pid_t child = startAdvisor(
      dir.path(), {"--tools", "tools", "--aligners", "kalign,muscle", "-j", "2", "-o", "out", "in.fa"});
  ASSERT_GE(child, 0);
  for (int i = 0; i < 100 && recordedPids(marks).size() < 2; ++i) ::usleep(100000);
  const std::vector<pid_t> aligners = recordedPids(marks);
  EXPECT_EQ(aligners.size(), 2u);
  // The run folder is /tmp/fasta<pid><time>.
  bool runFolderSeen = false;
  DIR* tmp = ::opendir("/tmp");
  while (dirent* e = tmp ? ::readdir(tmp) : nullptr)
    runFolderSeen |= std::string(e->d_name).rfind("fasta" + std::to_string(child), 0) == 0;
  if (tmp) ::closedir(tmp);
  EXPECT_TRUE(runFolderSeen);

  ::kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  // The runs' groups were killed; a killed process takes a moment to die.
  for (pid_t pid : aligners) {
    for (int i = 0; i < 200 && alive(pid); ++i) ::usleep(10000);
    EXPECT_FALSE(alive(pid)) << "aligner " << pid << " survived";
  }
  tmp = ::opendir("/tmp");
  while (dirent* e = tmp ? ::readdir(tmp) : nullptr)
    EXPECT_NE(std::string(e->d_name).rfind("fasta" + std::to_string(child), 0), 0u) << e->d_name;
  if (tmp) ::closedir(tmp);
  EXPECT_FALSE(fileExists(dir.file("out/best.fasta")));
}

// Two advices into one output folder would mix or lose both results: while
// one runs, a second is refused, with --force too, before anything of the
// first is touched; once it has ended, the folder is free again.
TEST_F(AlnadviseProgram, ASecondAdviceIntoAFolderInUseIsRefused) {
  const std::string marks = dir.file("marks");
  ::mkdir(marks.c_str(), 0755);
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"),
                              {{"kalign2", "touch " + marks + "/pid.$$\nsleep 60\n"}}));
  writeFile(dir.file("in.fa"), ">a\nACDEFGHIK\n>b\nACDEFGHK\n");
  const pid_t first =
      startAdvisor(dir.path(), {"--tools", "tools", "--aligners", "kalign", "-o", "out", "in.fa"});
  ASSERT_GE(first, 0);
  for (int i = 0; i < 100 && recordedPids(marks).empty(); ++i) ::usleep(100000);
  ASSERT_FALSE(recordedPids(marks).empty());
  for (const bool force : {false, true}) {
    std::vector<std::string> args = {"--aligners", "kalign", "-o", "out", "in.fa"};
    if (force) args.push_back("--force");
    const RunResult second = advise(args);
    EXPECT_EQ(second.status, 2) << second.err;
    EXPECT_NE(second.err.find("output folder 'out' is in use by another alnadvise"),
              std::string::npos)
        << second.err;
  }
  EXPECT_TRUE(fileExists(dir.file("out/advise.log")));  // the first one's, untouched
  ::kill(first, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(first, &status, 0), first);
  const RunResult again = advise({"--tools", realToolsFolder(), "--aligners", "kalign", "-o", "out",
                                  "--force", "-q", "in.fa"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(fileExists(dir.file("out/best.fasta")));
}

}  // namespace
