// The aligner runner with stand-in programs: the arguments each program gets,
// the lines printed for large inputs, and the -1.0 results of failed runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fake_tools.h"
#include "getChar.h"
#include "run_workspace.h"
#include "test_support.h"

using namespace testing_support;
using Args = std::vector<std::string>;

namespace {

const char kReport[] = "Test=x;Ref=y;Q=0.75;TC=0.5\n";

class RunAlignerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedSequences_ = nSequencesInput;
    savedFeature_ = OF.rows[0].feature[0];
    writeFile("in.fa", ">a\nMKV\n>b\nMKL\n");
    writeFakeScorer(kReport);
  }
  void TearDown() override {
    nSequencesInput = savedSequences_;
    OF.rows[0].feature[0] = savedFeature_;
  }

  // Runs the runner for output index 1, returning what it printed.
  std::string run(int kind, const std::string& options) {
    return capture(
               [&] { runAligner("in.fa", "ref.fa", kind, options, scoreA, scoreB, elapsed, 1); })
        .out;
  }

  void expectScored() {
    EXPECT_EQ(scoreA, 0.75);
    EXPECT_EQ(scoreB, 0.5);
    EXPECT_GE(elapsed, 0.0);
    EXPECT_EQ(recordedArgs("qscore"),
              (Args{"-test", ws.output(1), "-ref", "ref.fa", "-seqdiffwarn", "-ignoremissingseqs",
                    "-ignoretestcase", "-truncname", "-quiet"}));
  }
  void expectAllFailed() {
    EXPECT_EQ(scoreA, -1.0);
    EXPECT_EQ(scoreB, -1.0);
    EXPECT_EQ(elapsed, -1.0);
  }

  RunWorkspace ws;
  double scoreA = 0, scoreB = 0, elapsed = 0;
  int savedSequences_ = 0;
  double savedFeature_ = 0;
};

}  // namespace

TEST_F(RunAlignerTest, KalignGetsItsArgumentsAndIsScored) {
  writeFakeTool("kalign2", "echo '>a' > \"$4\"\necho noise >&2\n");
  auto printed = capture(
      [&] { runAligner("in.fa", "ref.fa", KALIGN, "-gpo 10", scoreA, scoreB, elapsed, 1); });
  EXPECT_EQ(printed.out, "");
  EXPECT_EQ(printed.err, "");  // redirected to /dev/null by the command
  EXPECT_EQ(recordedArgs("kalign2"),
            (Args{"-in", "in.fa", "-out", ws.output(1), "-quiet", "-gpo", "10"}));
  expectScored();
}

TEST_F(RunAlignerTest, OptionsAreShellText) {
  writeFakeTool("kalign2", "echo '>a' > \"$4\"\n");
  run(KALIGN, "-gpe \"1 2\" $((3+4))");
  EXPECT_EQ(recordedArgs("kalign2"),
            (Args{"-in", "in.fa", "-out", ws.output(1), "-quiet", "-gpe", "1 2", "7"}));
}

TEST_F(RunAlignerTest, ClustalwReadsACopyBesideItsOutput) {
  writeFakeTool("clustalw2", "echo '>a' > " + ws.output(1) + "\n");
  run(CLUSTALW, "-type=protein");
  EXPECT_EQ(readFile(ws.output(1) + ".input"), readFile("in.fa"));
  EXPECT_EQ(recordedArgs("clustalw2"),
            (Args{"-infile=" + ws.output(1) + ".input", "-outfile=" + ws.output(1), "-output=fasta",
                  "-quiet", "-outorder=input", "-type=protein"}));
  expectScored();
}

TEST_F(RunAlignerTest, DialignGetsItsConfigurationFolder) {
  writeFakeTool("dialign-tx", "echo '>a' > \"$5\"\necho chatter\n");
  EXPECT_EQ(run(DIALIGNTX, "-l 1"), "");
  EXPECT_EQ(recordedArgs("dialign-tx"),
            (Args{"-l", "1", "./lib/DIALIGN-TX_1.0.2/conf/", "in.fa", ws.output(1)}));
  expectScored();
}

TEST_F(RunAlignerTest, MafftBelowTenThousandSequences) {
  writeFakeTool("mafft", "echo '>a'\n");
  nSequencesInput = 9999;
  OF.rows[0].feature[0] = 9999;
  EXPECT_EQ(run(MAFFT, "--op 2"), "Menor a 10000\n9999\n");
  EXPECT_EQ(recordedArgs("mafft"),
            (Args{"--anysymbol", "--thread", "1", "--quiet", "--op", "2", "in.fa"}));
  EXPECT_EQ(readFile(ws.output(1)), ">a\n");
  expectScored();
}

TEST_F(RunAlignerTest, MafftFromTenThousandSequencesPrintsItsCommand) {
  writeFakeTool("mafft", "echo '>a'\n");
  nSequencesInput = 10000;
  OF.rows[0].feature[0] = 1234567;
  const std::string command =
      "./bin/mafft --anysymbol --thread 1 --quiet --parttree --op 2 in.fa > " + ws.output(1) +
      " 2> /dev/null";
  EXPECT_EQ(run(MAFFT, "--op 2"), "Mayor a 10000\n1.23457e+06\n" + command + "\n");
  EXPECT_EQ(recordedArgs("mafft"),
            (Args{"--anysymbol", "--thread", "1", "--quiet", "--parttree", "--op", "2", "in.fa"}));
  expectScored();
}

TEST_F(RunAlignerTest, MuscleIteratesLessFromThreeThousandSequences) {
  writeFakeTool("muscle3.8", "echo '>a' > \"$4\"\n");
  nSequencesInput = 2999;
  EXPECT_EQ(run(MUSCLE, "-diags"), "");
  EXPECT_EQ(recordedArgs("muscle3.8"),
            (Args{"-in", "in.fa", "-out", ws.output(1), "-quiet", "-diags"}));
  nSequencesInput = 3000;
  EXPECT_EQ(run(MUSCLE, "-diags"), "");
  EXPECT_EQ(recordedArgs("muscle3.8"),
            (Args{"-in", "in.fa", "-out", ws.output(1), "-quiet", "-maxiters", "2", "-diags"}));
  expectScored();
}

TEST_F(RunAlignerTest, NoOutputGivesMinusOneForAllThree) {
  writeFakeTool("kalign2", "exit 1\n");
  run(KALIGN, "");
  expectAllFailed();
  EXPECT_FALSE(ran("qscore"));
}

TEST_F(RunAlignerTest, UnknownKindRunsNothing) {
  for (int kind : {9, -1}) {
    scoreA = scoreB = elapsed = 0;
    EXPECT_EQ(run(kind, "-x"), "");
    expectAllFailed();
  }
  EXPECT_FALSE(ran("qscore"));
}

TEST_F(RunAlignerTest, MissingRunDirectoryGivesMinusOne) {
  writeFakeTool("kalign2", "echo '>a' > \"$4\" 2> /dev/null\n");
  std::filesystem::remove_all(ws.runDir());
  run(KALIGN, "");
  expectAllFailed();
}

TEST_F(RunAlignerTest, OutputOfAnEarlierRunIsRemovedFirst) {
  writeFile(ws.output(1), ">a\nMKV\n");
  writeFakeTool("kalign2", "exit 1\n");
  run(KALIGN, "");
  expectAllFailed();
  EXPECT_FALSE(fileExists(ws.output(1)));
}

TEST_F(RunAlignerTest, OutputThatCannotBeRemovedFailsTheRun) {
  std::filesystem::create_directories(ws.output(1) + "/sub");
  writeFakeTool("kalign2", "exit 0\n");
  auto printed =
      capture([&] { runAligner("in.fa", "ref.fa", KALIGN, "", scoreA, scoreB, elapsed, 1); });
  expectAllFailed();
  EXPECT_FALSE(ran("kalign2"));
  EXPECT_EQ(printed.err.rfind("Error: cannot remove '" + ws.output(1) + "' before the run: ", 0),
            0u);
}

TEST_F(RunAlignerTest, ReportWithoutScoresGivesMinusOne) {
  writeFakeTool("kalign2", "echo '>a' > \"$4\"\n");
  for (const char* report : {"", "ERROR", "Q=0.5;TC=0.4\n", "Test=x;Ref=y;Q=0.5\n"}) {
    SCOPED_TRACE(report);
    writeFakeScorer(report);
    scoreA = scoreB = elapsed = 0;
    run(KALIGN, "");
    expectAllFailed();
  }
}

TEST_F(RunAlignerTest, MissingScorerGivesMinusOne) {
  writeFakeTool("kalign2", "echo '>a' > \"$4\"\n");
  std::filesystem::remove("bin/qscore");
  run(KALIGN, "");
  expectAllFailed();
}
