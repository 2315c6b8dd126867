// The merger with a stand-in consistency tool: the printed command, the
// arguments, and the -1.0 results of a failed merge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_tools.h"
#include "getChar.h"
#include "run_workspace.h"
#include "test_support.h"

using namespace testing_support;
using Args = std::vector<std::string>;

namespace {

class MergeAlignmentsTest : public ::testing::Test {
 protected:
  void SetUp() override { writeFakeScorer("Test=x;Ref=y;Q=0.625;TC=0.125\n"); }

  std::string merge(const std::string& inputFile) {
    return capture([&] { mergeAlignments(inputFile, "ref.fa", scoreA, scoreB, elapsed); }).out;
  }
  std::string expectedCommand() const {
    return "./bin/t_coffee -in=" + ws.output(1) + " -in=" + ws.output(2) + " -in=" + ws.output(3) +
           " -output=fasta_aln -outfile=" + ws.output(4) +
           " -evaluate_mode=t_coffee_slow -maxnseq=80 -maxlen=2500 -multi_core=4 -quiet "
           "-newtree=" +
           ws.output(4) + ".dnd";
  }

  RunWorkspace ws;
  double scoreA = 0, scoreB = 0, elapsed = 0;
};

// Writes the file named by -outfile=, and something on standard output that
// must not show.
const char kMerger[] =
    "for a; do case $a in -outfile=*) echo '>m' > \"${a#-outfile=}\";; esac; done\n"
    "echo progress\n";

}  // namespace

TEST_F(MergeAlignmentsTest, PrintsTheCommandAndScoresTheMerge) {
  writeFakeTool("t_coffee", kMerger);
  EXPECT_EQ(merge("ignored.fa"), expectedCommand() + "\n");
  EXPECT_EQ(recordedArgs("t_coffee"),
            (Args{"-in=" + ws.output(1), "-in=" + ws.output(2), "-in=" + ws.output(3),
                  "-output=fasta_aln", "-outfile=" + ws.output(4), "-evaluate_mode=t_coffee_slow",
                  "-maxnseq=80", "-maxlen=2500", "-multi_core=4", "-quiet",
                  "-newtree=" + ws.output(4) + ".dnd"}));
  EXPECT_EQ(recordedArgs("qscore")[1], ws.output(4));
  EXPECT_EQ(scoreA, 0.625);
  EXPECT_EQ(scoreB, 0.125);
  EXPECT_GE(elapsed, 0.0);
}

TEST_F(MergeAlignmentsTest, InputFileMakesNoDifference) {
  writeFakeTool("t_coffee", kMerger);
  const std::string first = merge("a.fa");
  const double a = scoreA, b = scoreB;
  EXPECT_EQ(merge("/some where/else.fa"), first);
  EXPECT_EQ(scoreA, a);
  EXPECT_EQ(scoreB, b);
}

TEST_F(MergeAlignmentsTest, FailedMergeStillPrintsTheCommand) {
  writeFakeTool("t_coffee", "exit 1\n");
  EXPECT_EQ(merge(""), expectedCommand() + "\n");
  EXPECT_EQ(scoreA, -1.0);
  EXPECT_EQ(scoreB, -1.0);
  EXPECT_EQ(elapsed, -1.0);
  EXPECT_FALSE(ran("qscore"));
}

TEST_F(MergeAlignmentsTest, FilesOfAnEarlierMergeAreRemovedFirst) {
  writeFile(ws.output(4), ">m\n");
  writeFile(ws.output(4) + ".dnd", "(a,b);\n");
  writeFakeTool("t_coffee", "exit 1\n");
  merge("");
  EXPECT_EQ(scoreA, -1.0);
  EXPECT_EQ(scoreB, -1.0);
  EXPECT_EQ(elapsed, -1.0);
  EXPECT_FALSE(fileExists(ws.output(4)));
  EXPECT_FALSE(fileExists(ws.output(4) + ".dnd"));
}

TEST_F(MergeAlignmentsTest, ShortReportGivesMinusOne) {
  writeFakeTool("t_coffee", kMerger);
  writeFakeScorer("ERROR");
  merge("");
  EXPECT_EQ(scoreA, -1.0);
  EXPECT_EQ(scoreB, -1.0);
  EXPECT_EQ(elapsed, -1.0);
}
