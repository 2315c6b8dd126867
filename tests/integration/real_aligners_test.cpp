// Each aligner run for real through the runner on a BAliBASE data set that
// Debian ships, scored against its reference by the project's scorer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "getChar.h"
#include "runs/aligner_names.h"
#include "test_support.h"
#include "tools_folder.h"
#include "tools_workspace.h"

using namespace testing_support;

namespace {

struct AlignerCase {
  const char* name;
  int kind;
  DataSet data;
  const char* options;
};

void PrintTo(const AlignerCase& c, std::ostream* os) { *os << c.name; }

class RealAlignerTest : public ToolsTest, public ::testing::WithParamInterface<AlignerCase> {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    savedSequences_ = nSequencesInput;
    savedFeature_ = OF.rows[0].feature[0];
  }
  void TearDown() override {
    nSequencesInput = savedSequences_;
    OF.rows[0].feature[0] = savedFeature_;
  }

  // Runs the aligner into output file 1 and returns what the runner printed.
  std::string run(const AlignerCase& c, int sequences) {
    requireDataSet(c.data);
    nSequencesInput = sequences;
    OF.rows[0].feature[0] = c.data.sequences;
    return capture([&] {
             runAligner(c.data.input, c.data.reference, c.kind, c.options, scoreA, scoreB, elapsed,
                        1);
           })
        .out;
  }

  void expectScored() {
    expectScore(scoreA);
    expectScore(scoreB);
    EXPECT_GT(elapsed, 0.0);
    EXPECT_EQ(readFile(ws.output(1)).substr(0, 1), ">");
  }

  double scoreA = 0, scoreB = 0, elapsed = 0;
  int savedSequences_ = 0;
  double savedFeature_ = 0;
};

TEST_P(RealAlignerTest, AlignsAndScores) {
  const AlignerCase& c = GetParam();
  const std::string printed = run(c, c.data.sequences);
  if (c.kind == MAFFT) {
    EXPECT_EQ(printed, "Menor a 10000\n" + std::to_string(c.data.sequences) + "\n");
  } else {
    EXPECT_EQ(printed, "");
  }
  expectScored();
}

INSTANTIATE_TEST_SUITE_P(
    Debian, RealAlignerTest,
    ::testing::Values(AlignerCase{"clustalw", CLUSTALW, kalignExample("BB12006", 4), ""},
                      AlignerCase{"dialign_tx", DIALIGNTX, dialignExample("BB11002", 8), ""},
                      AlignerCase{"kalign", KALIGN, kalignExample("BB30014", 44), ""},
                      // kalign 2's names of the gap penalties, through the wrapper.
                      AlignerCase{"kalign_options", KALIGN, kalignExample("BB12006", 4),
                                  "-gapopen 40 -gapextension 2 -terminal_gap_extension 1"},
                      AlignerCase{"mafft", MAFFT, kalignExample("BB11001", 4), ""},
                      AlignerCase{"muscle", MUSCLE, kalignExample("BB30014", 44), ""},
                      AlignerCase{"probcons", PROBCONS, kalignExample("BB11001", 4), "-c 1"},
                      AlignerCase{"clustalo", CLUSTALO, kalignExample("BB30014", 44), ""},
                      AlignerCase{"muscle5", MUSCLE5, kalignExample("BB12006", 4), ""},
                      AlignerCase{"muscle5_ensemble", MUSCLE5, kalignExample("BB11001", 4),
                                  "-stratified -replicates 2"},
                      AlignerCase{"probalign", PROBALIGN, dialignExample("BB11002", 8), ""}),
    [](const ::testing::TestParamInfo<AlignerCase>& info) { return info.param.name; });

// Every kind's program is where the runner calls it in the tools folder that
// scripts/install-aligners laid out, and runs.
TEST(InstalledAligners, EveryKindHasItsProgram) {
  const std::string tools = realToolsFolder();
  ASSERT_FALSE(tools.empty()) << "GETCHAR_TOOLS_DIR is not set";
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    const std::string program = tools + "/" + runs::alignerProgram(kind);
    EXPECT_EQ(::access(program.c_str(), X_OK), 0) << runs::alignerName(kind) << ": " << program;
  }
  const RunResult version = runProgram({tools + "/bin/muscle5", "-version"});
  EXPECT_NE(version.out.find("muscle 5"), std::string::npos) << version.out << version.err;
}

// The settings for large inputs, taken by the real programs on small data.
TEST_F(RealAlignerTest, MafftTakesItsLargeInputSettings) {
  const AlignerCase c{"mafft", MAFFT, kalignExample("BB12006", 4), ""};
  const std::string printed = run(c, 10000);
  EXPECT_EQ(printed, "Mayor a 10000\n4\n./bin/mafft --anysymbol --thread 1 --quiet --parttree  " +
                         c.data.input + " > " + ws.output(1) + " 2> /dev/null\n");
  expectScored();
}

TEST_F(RealAlignerTest, MuscleTakesItsLargeInputSettings) {
  run({"muscle", MUSCLE, kalignExample("BB12006", 4), ""}, 3000);
  expectScored();
}

// A failed run right after a successful one on the same index must not score
// the alignment that the successful run left.
TEST_F(RealAlignerTest, FailureRightAfterASuccessGivesMinusOne) {
  const DataSet data = kalignExample("BB11001", 4);
  requireDataSet(data);
  const struct {
    int kind;
    std::string input;
    const char* options;
    const char* hidden;  // a program taken away before the run
  } failures[] = {{KALIGN, data.input, "--no-such-option", ""},
                  {MAFFT, data.input, "--no-such-option", ""},
                  {MUSCLE, "/nonexistent.fa", "", ""},
                  {CLUSTALW, "/nonexistent.fa", "", ""},  // the earlier input copy is gone too
                  {KALIGN, data.input, "", "kalign2"},
                  {PROBCONS, "/nonexistent.fa", "", ""},
                  {CLUSTALO, "/nonexistent.fa", "", ""},
                  {MUSCLE5, "/nonexistent.fa", "", ""},
                  {PROBALIGN, "/nonexistent.fa", "", ""}};
  for (const auto& f : failures) {
    SCOPED_TRACE(std::to_string(f.kind) + " " + f.input + " " + f.options + " " + f.hidden);
    capture(
        [&] { runAligner(data.input, data.reference, CLUSTALW, "", scoreA, scoreB, elapsed, 1); });
    expectScored();
    if (*f.hidden) hideProgram(f.hidden);
    capture([&] {
      runAligner(f.input, data.reference, f.kind, f.options, scoreA, scoreB, elapsed, 1);
    });
    EXPECT_EQ((std::vector<double>{scoreA, scoreB, elapsed}), std::vector<double>(3, -1.0));
  }
}

// An ensemble that fails must not leave the earlier ensemble's pick scored.
TEST_F(RealAlignerTest, FailedMuscle5EnsembleAfterASuccessGivesMinusOne) {
  const DataSet data = kalignExample("BB11001", 4);
  requireDataSet(data);
  const std::string ensemble = "-stratified -replicates 2";
  capture([&] {
    runAligner(data.input, data.reference, MUSCLE5, ensemble, scoreA, scoreB, elapsed, 1);
  });
  expectScored();
  ASSERT_TRUE(fileExists(ws.output(1) + ".efa"));
  capture([&] {
    runAligner("/nonexistent.fa", data.reference, MUSCLE5, ensemble, scoreA, scoreB, elapsed, 1);
  });
  EXPECT_EQ((std::vector<double>{scoreA, scoreB, elapsed}), std::vector<double>(3, -1.0));
}

// The scores are found by name, so "=" in a path changes nothing.
TEST_F(RealAlignerTest, PathsWithEqualsSignsScoreAsPlainOnes) {
  const DataSet data = kalignExample("BB11001", 4);
  requireDataSet(data);
  std::filesystem::create_directory("a=b");
  std::filesystem::copy_file(data.input, "a=b/in=1.tfa");
  std::filesystem::copy_file(data.reference, "a=b/ref=1.msf");
  double plainA = 0, plainB = 0;
  runAligner(data.input, data.reference, KALIGN, "", plainA, plainB, elapsed, 1);
  runAligner(ws.file("a=b/in=1.tfa"), ws.file("a=b/ref=1.msf"), KALIGN, "", scoreA, scoreB, elapsed,
             2);
  expectScore(plainA);
  EXPECT_EQ(scoreA, plainA);
  EXPECT_EQ(scoreB, plainB);
}

}  // namespace
