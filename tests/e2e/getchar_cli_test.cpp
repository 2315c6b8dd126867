// Runs the getChar executable in temporary directories and compares standard
// output, standard error, exit status and side files byte for byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::runProgram;
using testing_support::RunResult;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

const std::string kExe = GETCHAR_EXE;
const std::string kUsageTail =
    " <DataSet> <optionFile> <aligner>\n     <aligner>: CLUSTALW, DIALIGNTX, KALIGN, MAFFT, or "
    "MUSCLE";
const std::string kZeros = ";0;0;0;0;0;0;0;0;0;0";

RunResult run(const TempDir& cwd, std::vector<std::string> args) {
  args.insert(args.begin(), kExe);
  return runProgram(args, cwd.path());
}

TEST(Usage, WrongArgumentCountPrintsUsageWithoutFinalLineEnd) {
  TempDir cwd;
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"a"}, {"a", "b", "c", "d"}, {"a", "b", "c", "d", "e"}}) {
    RunResult r = run(cwd, args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "** ERROR, try with " + kExe + kUsageTail);
    EXPECT_EQ(r.err, "");
  }
}

TEST(UnreadableDataSet, FourArgumentsReportRowZeroAndTwoEmptyLines) {
  TempDir cwd;
  RunResult r = run(cwd, {"runs/set7.fa", "MAFFT", "out"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Error opening 'runs/set7.fa'. Bailing out.\n");
  EXPECT_EQ(r.out, "set7.fa" + kZeros + "\n\n\n");

  // A path ending in "/" names the row with the empty string.
  r = run(cwd, {"missing/", "KALIGN", "out"});
  EXPECT_EQ(r.out, kZeros + "\n\n\n");
  // A name is printed as it is, separators included.
  r = run(cwd, {"a;b", "KALIGN", "out"});
  EXPECT_EQ(r.out, "a;b" + kZeros + "\n\n\n");
}

TEST(UnreadableDataSet, ThreeArgumentsRunSelectionSilently) {
  TempDir cwd;
  std::string line = "ref;1;2;3;0;0;1;2;3;4;5;7;-x\n";
  writeFile(cwd.file("options.txt"), line + line + line);
  RunResult r = run(cwd, {"set7.fa", "options.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Error opening 'set7.fa'. Bailing out.\n");
  EXPECT_EQ(r.out, "set7.fa" + kZeros + "\n");

  // A missing option file is reported too; the exit status stays 0.
  r = run(cwd, {"set7.fa", "nowhere.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Error opening 'set7.fa'. Bailing out.\nError opening 'nowhere.txt'. Bailing out.\n");
  EXPECT_EQ(r.out, "set7.fa" + kZeros + "\n");
}

TEST(UnreadableDataSet, AFolderIsReportedLikeAFileThatCannotBeOpened) {
  TempDir cwd;
  ASSERT_EQ(system(("mkdir " + cwd.file("set")).c_str()), 0);
  const RunResult r = run(cwd, {"set", "MAFFT", "out"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Error opening 'set'. Bailing out.\n");
  EXPECT_EQ(r.out, "set" + kZeros + "\n\n\n");
}

// Output lost on a full standard output ends with a status of its own.
TEST(FullStandardOutput, EndsWithStatusThreeAndOneLine) {
  TempDir cwd;
  writeFile(cwd.file("data.fa"), ">a\nK\n");
  ASSERT_EQ(system(("mkdir " + cwd.file("out")).c_str()), 0);
  // The reason is given when the failing write is known (the count lines).
  const std::string lost = "Error: cannot write standard output";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"data.fa", "MAFFT", "out"}, lost + ": No space left on device."},
      {{"missing.fa", "MAFFT", "out"}, "Error opening 'missing.fa'. Bailing out.\n" + lost},
      {{"data.fa"}, lost}};  // usage
  for (const auto& [args, err] : cases) {
    std::vector<std::string> shell = {"/bin/sh", "-c", "exec \"$0\" \"$@\" > /dev/full", kExe};
    shell.insert(shell.end(), args.begin(), args.end());
    RunResult r = runProgram(shell, cwd.path());
    EXPECT_EQ(r.status, 3) << args[0];
    EXPECT_EQ(r.err.substr(0, err.size()), err);
    EXPECT_EQ(r.err.find('\n', err.size()), r.err.size() - 1);  // and nothing more
  }
  EXPECT_EQ(readFile(cwd.file("out/sequence1.fasta")), ">a\nK\n");  // the side files are written
}

class Extraction : public ::testing::Test {
 protected:
  RunResult extract(const std::string& fasta) {
    writeFile(cwd.file("data.fa"), fasta);
    return run(cwd, {"data.fa", "MUSCLE", out});
  }
  std::string side(const std::string& name) { return readFile(cwd.file("out/" + name)); }

  TempDir cwd;
  std::string out = cwd.path() + "/out";
  void SetUp() override { ASSERT_EQ(system(("mkdir " + out).c_str()), 0); }
};

TEST_F(Extraction, RepeatsAreLoggedAndDistinctRecordsNumbered) {
  RunResult r = extract(">a\nRHKDE\n>b\nRHKDE\n>c\nSTNQ\nCUGP\nAVILMFYW\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "3,2,0,0,0\n0,0,4,4,8\n");
  EXPECT_EQ(side("sequence1.fasta"), ">a\nRHKDE\n");
  EXPECT_EQ(side("sequence2.fasta"), ">c\nSTNQCUGPAVILMFYW\n");
  EXPECT_FALSE(fileExists(out + "/sequence3.fasta"));
  EXPECT_EQ(side("r-sequences.fasta"), ">b;>a\n");
  EXPECT_EQ(side("All-sequences.fasta"), ">" + out + "/sequence1.fasta\nRHKDE\n>" + out +
                                             "/sequence2.fasta\nSTNQCUGPAVILMFYW\n");
}

TEST_F(Extraction, LineRulesForNamesBlanksAndEmptyRecords) {
  // "x" is discarded by its blank, ">" alone ignores its lines, the empty line
  // opens an empty record, and the second empty record repeats the first.
  RunResult r = extract(
      "> \n"    // name " " (a blank), sequence below
      "acgt\n"  // lower case counts in no group
      ">x\nAA\nA A\nKK\n"
      ">\nRRR\n"
      "\n"
      ">y\nRHK-DE\n"
      ">z\nRHK-DE\r\n");  // a carriage return makes it distinct
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "0,0,0,0,0\n0,0,0,0,0\n3,2,0,0,0\n3,2,0,0,0\n");
  EXPECT_EQ(side("sequence1.fasta"), "> \nacgt\n");
  EXPECT_EQ(side("sequence2.fasta"), ">\n\n");  // "x" discarded: closed nameless and empty
  EXPECT_EQ(side("sequence3.fasta"), ">y\nRHK-DE\n");
  EXPECT_EQ(side("sequence4.fasta"), ">z\nRHK-DE\r\n");
  // ">" alone and the empty line both close as empty records, repeating "x".
  EXPECT_EQ(side("r-sequences.fasta"), ">;>\n>;>\n");
}

TEST_F(Extraction, LastLineWithoutLineFeedIsKept) {
  RunResult r = extract(">a\nRR\nKK");
  EXPECT_EQ(r.out, "4,0,0,0,0\n");
  EXPECT_EQ(side("sequence1.fasta"), ">a\nRRKK\n");

  // A header on the last line opens a record as well.
  r = extract(">a\nRR\n>b");
  EXPECT_EQ(r.out, "2,0,0,0,0\n0,0,0,0,0\n");
  EXPECT_EQ(side("sequence2.fasta"), ">b\n\n");
}

TEST_F(Extraction, InputStartingWithSequenceLineIsIgnoredWhole) {
  RunResult r = extract("ACGT\n>a\nRR\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(fileExists(out + "/All-sequences.fasta"));
  EXPECT_FALSE(fileExists(out + "/sequence1.fasta"));

  r = extract("");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
}

TEST_F(Extraction, AppendFilesGrowAcrossRuns) {
  extract(">a\nK\n>b\nK\n");
  extract(">a\nK\n>b\nK\n");
  EXPECT_EQ(side("r-sequences.fasta"), ">b;>a\n>b;>a\n");
  EXPECT_EQ(side("All-sequences.fasta"),
            ">" + out + "/sequence1.fasta\nK\n>" + out + "/sequence1.fasta\nK\n");
  EXPECT_EQ(side("sequence1.fasta"), ">a\nK\n");  // replaced, not appended
}

TEST_F(Extraction, LargeCountsUseDefaultNumberFormat) {
  RunResult r = extract(">big\n" + std::string(1234567, 'W') + "\n");
  EXPECT_EQ(r.out, "0,0,0,0,1.23457e+06\n");
}

TEST_F(Extraction, UnwritableSideFilesWarnAndGoOn) {
  writeFile(cwd.file("data.fa"), ">a\nK\n>b\nK\n>c\nD\n");
  std::string missing = cwd.path() + "/no/such/dir";
  RunResult r = run(cwd, {"data.fa", "MUSCLE", missing});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "1,0,0,0,0\n0,1,0,0,0\n");
  EXPECT_EQ(r.err, "Warning: cannot write '" + missing +
                       "/sequence1.fasta'; entry skipped.\n"
                       "Warning: cannot write '" +
                       missing +
                       "/All-sequences.fasta'; entry skipped.\n"
                       "Warning: cannot write '" +
                       missing +
                       "/r-sequences.fasta'; entry skipped.\n"
                       "Warning: cannot write '" +
                       missing +
                       "/sequence2.fasta'; entry skipped.\n"
                       "Warning: cannot write '" +
                       missing + "/All-sequences.fasta'; entry skipped.\n");
}

TEST_F(Extraction, DataSetThatIsOneOfTheRunsSideFilesIsRefusedBeforeAnyWrite) {
  // Larger than one read: writing sequence1.fasta would cut off the records
  // not yet read.
  std::string fasta;
  for (int i = 0; fasta.size() < (3u << 20); ++i) {
    fasta += ">s" + std::to_string(i) + "\n" + std::string(1000, "ACDEFGHIKL"[i % 10]) + "\n";
  }
  writeFile(out + "/sequence1.fasta", fasta);
  writeFile(out + "/r-sequences.fasta", ">b;>a\n");
  ASSERT_EQ(link((out + "/sequence1.fasta").c_str(), cwd.file("linked.fa").c_str()), 0);
  ASSERT_EQ(symlink(cwd.file("other.fa").c_str(), (out + "/sequence12.fasta").c_str()), 0);
  writeFile(cwd.file("other.fa"), ">a\nK\n");

  // Through its own name, a hard link, a symbolic link in the folder, or as a
  // collected file.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {out + "/sequence1.fasta", "sequence1.fasta"},
      {"linked.fa", "sequence1.fasta"},
      {"other.fa", "sequence12.fasta"},
      {out + "/r-sequences.fasta", "r-sequences.fasta"}};
  for (const auto& [dataSet, sideFile] : cases) {
    RunResult r = run(cwd, {dataSet, "MAFFT", out});
    EXPECT_EQ(r.status, 4) << dataSet;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Error: the data set '" + dataSet + "' is the side file '" + out + "/" +
                         sideFile + "' of this run; nothing written.\n");
  }
  EXPECT_EQ(side("sequence1.fasta"), fasta);
  EXPECT_EQ(side("r-sequences.fasta"), ">b;>a\n");
  EXPECT_EQ(readFile(cwd.file("other.fa")), ">a\nK\n");
  EXPECT_FALSE(fileExists(out + "/All-sequences.fasta"));

  // A copy is another file, and "sequence01.fasta" a name the run never
  // writes: both are read as any data set.
  writeFile(cwd.file("sequence1.fasta"), fasta);
  ASSERT_EQ(rename((out + "/sequence12.fasta").c_str(), (out + "/sequence012.fasta").c_str()), 0);
  RunResult r = run(cwd, {"sequence1.fasta", "MAFFT", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10);
  EXPECT_EQ(run(cwd, {"other.fa", "MAFFT", out}).status, 1);
}

TEST_F(Extraction, EntriesAreInTheFilesAtOnceAndSurviveAKill) {
  // The data set comes through a pipe, so the run waits for more input while
  // it holds the collected files open.
  const std::string fifo = cwd.file("data.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open("/dev/null", O_WRONLY), 1);
    execl(kExe.c_str(), kExe.c_str(), fifo.c_str(), "X", out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const int feed = open(fifo.c_str(), O_RDWR);              // does not wait for the reader
  const std::string records = ">a\nK\n>b\nK\n>c\nD\n>d\n";  // ">d" closes "c"
  EXPECT_EQ(write(feed, records.data(), records.size()), static_cast<ssize_t>(records.size()));
  const std::string all = ">" + out + "/sequence1.fasta\nK\n>" + out + "/sequence2.fasta\nD\n";
  for (int i = 0; i < 1000 && side("All-sequences.fasta") != all; ++i) usleep(10000);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(feed);
  EXPECT_EQ(side("All-sequences.fasta"), all);
  EXPECT_EQ(side("r-sequences.fasta"), ">b;>a\n");
  EXPECT_EQ(side("sequence2.fasta"), ">c\nD\n");
}

TEST_F(Extraction, ManyRecordsBeyondOldTableCapacity) {
  // More than 99,999 distinct records: each keeps its own number.
  std::string fasta;
  const int records = 100005;
  for (int i = 0; i < records; ++i) {
    fasta += ">s" + std::to_string(i) + "\n";
    int v = i;
    std::string seq;
    do {
      seq.push_back("ACDEFGHIKLMNPQRSTVWY"[v % 20]);
      v /= 20;
    } while (v > 0);
    fasta += seq + "W\n";
  }
  writeFile(cwd.file("data.fa"), fasta);
  RunResult r = run(cwd, {"data.fa", "MUSCLE", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), records);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(side("sequence100005.fasta"), ">s100004\nFAMPW\n");
}

}  // namespace
