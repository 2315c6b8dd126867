// Ordering of results and the check and restoration of a run's alignment.
#include "ranking.h"

#include <gtest/gtest.h>

#include "candidate_runs.h"
#include "test_support.h"

namespace alnadvise {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

RankInput scored(double a, double b, double seconds) { return {true, true, a, b, seconds}; }

TEST(Ranking, ScoreFirstThenFasterThenUnscoredThenFailuresInIdOrder) {
  const std::vector<RankInput> results = {
      {false, false, 0, 0, 0.1},   // 0: failed
      scored(0.5, 0.25, 3.0),      // 1
      {true, false, 0, 0, 9.0},    // 2: valid, no score (slow)
      scored(0.25, 0.5, 1.0),      // 3: same sum as 1, faster
      scored(0.9, 0.0, 50.0),      // 4: best sum
      {false, true, 1.0, 1.0, 0},  // 5: failed with a stale score
      {true, false, 0, 0, 2.0},    // 6: valid, no score (fast)
  };
  EXPECT_EQ(rankResults(results), (std::vector<size_t>{4, 3, 1, 6, 2, 0, 5}));
}

TEST(Ranking, EqualInEverythingKeepsInputOrder) {
  EXPECT_EQ(rankResults({scored(0.5, 0, 1), scored(0.5, 0, 1), scored(0.5, 0, 1)}),
            (std::vector<size_t>{0, 1, 2}));
}

class Validation : public ::testing::Test {
 protected:
  std::string check(const std::string& alignment) {
    writeFile(dir.file("aln"), alignment);
    std::string why;
    return validateAlignment(dir.file("aln"), data, &rows, &why) ? "" : why;
  }
  TempDir dir;
  DataSet data{"", {"first name", "x"}, {"ACxDE", "AcBD"}, 2};
  std::vector<std::string> rows;
};

TEST_F(Validation, RestoresOriginalResiduesAndAcceptsRewrittenRareLetters) {
  // The aligner wrote upper case, X for the unknown 'x' and D for the 'B'.
  ASSERT_EQ(check(">s2\nAC-DD-\n>s1\nACXD.E\n"), "");
  EXPECT_EQ(rows, (std::vector<std::string>{"ACxD-E", "Ac-BD-"}));
}

TEST_F(Validation, RejectsWrongNamesResiduesAndShapes) {
  EXPECT_NE(check(">s1\nACXDE\n>s3\nACBD-\n").find("unknown sequence name 's3'"),
            std::string::npos);
  EXPECT_NE(check(">s1\nACXDE\n>s1\nACXDE\n").find("appears twice"), std::string::npos);
  EXPECT_NE(check(">s1\nACXDE\n").find("'s2' is missing"), std::string::npos);
  EXPECT_NE(check(">s1\nACXDW\n>s2\nACBD-\n").find("differ"), std::string::npos);
  EXPECT_NE(check(">s1\nACXD-\n>s2\nACBD-\n").find("lost residues"), std::string::npos);
  EXPECT_NE(check(">s1\nACXDE\n>s2\nACBD\n").find("differ in length"), std::string::npos);
  EXPECT_NE(check("").find("neither aligned FASTA nor MSF"), std::string::npos);
  std::string why;
  EXPECT_FALSE(validateAlignment(dir.file("none"), data, &rows, &why));
  EXPECT_EQ(why, "no alignment written");
}

}  // namespace
}  // namespace alnadvise
