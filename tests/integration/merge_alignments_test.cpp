// Three real alignments merged by the real consistency tool and scored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "getChar.h"
#include "test_support.h"
#include "tools_workspace.h"

using namespace testing_support;

namespace {

class RealMergeTest : public ToolsTest {
 protected:
  // Leaves the alignments of three aligners in output files 1, 2 and 3.
  void alignThreeWays() {
    requireDataSet(data);
    const int kinds[3] = {KALIGN, MAFFT, MUSCLE};
    for (int k = 1; k <= 3; ++k) {
      double a = 0, b = 0, t = 0;
      capture([&] { runAligner(data.input, data.reference, kinds[k - 1], "", a, b, t, k); });
      ASSERT_GT(a, 0.0) << "aligner of index " << k;
    }
  }

  std::string merge() {
    return capture([&] { mergeAlignments(data.input, data.reference, scoreA, scoreB, elapsed); })
        .out;
  }

  void expectMerged(const std::string& printed) {
    EXPECT_EQ(printed, "./bin/t_coffee -in=" + ws.output(1) + " -in=" + ws.output(2) +
                           " -in=" + ws.output(3) + " -output=fasta_aln -outfile=" + ws.output(4) +
                           " -evaluate_mode=t_coffee_slow -maxnseq=80 -maxlen=2500 "
                           "-multi_core=4 -quiet -newtree=" +
                           ws.output(4) + ".dnd\n");
    expectScore(scoreA);
    expectScore(scoreB);
    EXPECT_GT(elapsed, 0.0);
    EXPECT_TRUE(fileExists(ws.output(4) + ".dnd"));
  }

  const DataSet data = kalignExample("BB12006", 4);
  double scoreA = 0, scoreB = 0, elapsed = 0;
};

TEST_F(RealMergeTest, MergesThreeAlignmentsAndScores) {
  ASSERT_NO_FATAL_FAILURE(alignThreeWays());
  expectMerged(merge());
}

// A merge that fails right after a successful one (an input missing, the
// program missing) must not score the merged file that the successful one left.
TEST_F(RealMergeTest, FailureRightAfterASuccessGivesMinusOne) {
  for (bool programMissing : {false, true}) {
    ASSERT_NO_FATAL_FAILURE(alignThreeWays());
    expectMerged(merge());
    if (programMissing) {
      hideProgram("t_coffee");
    } else {
      std::filesystem::remove(ws.output(3));
    }
    merge();
    EXPECT_EQ((std::vector<double>{scoreA, scoreB, elapsed}), std::vector<double>(3, -1.0));
  }
}

// Sets an environment variable, or unsets it for a null value, and puts the
// old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (hadValue_) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (hadValue_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool hadValue_;
  std::string old_;
};

// t_coffee stops without a writable home; its wrapper gives it one under
// TMPDIR, here the test's own directory.
TEST_F(RealMergeTest, MergesWithoutAHome) {
  ASSERT_NO_FATAL_FAILURE(alignThreeWays());
  std::string printed;
  {
    ScopedEnv home("HOME", nullptr);
    ScopedEnv tmp("TMPDIR", ws.path().c_str());
    printed = merge();
  }
  expectMerged(printed);
}

}  // namespace
