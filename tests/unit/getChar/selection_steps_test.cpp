// The steps that end the three-argument mode, run over the table as the mode
// leaves it after an unreadable data set.
#include "getChar/selection_steps.h"

#include <gtest/gtest.h>

#include <cmath>

#include "getChar.h"
#include "test_support.h"

using testing_support::capture;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

class SelectionSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    OF = t_OF{};
    OF.rows[0].name = "set7.fa";
    iA = iB = iC = iD = 0;
    distA = distB = distC = 0;
  }
  void TearDown() override { OF = t_OF{}; }
  void run(const std::string& options) {
    writeFile(dir.file("options.txt"), options);
    std::string path = dir.file("options.txt");
    out = capture([&] { runSelectionSteps(&path[0]); });
  }
  TempDir dir;
  testing_support::Captured out;
};

TEST(GlobalTables, StartValues) {
  t_OF fresh;
  EXPECT_EQ(fresh.n, 0);
  EXPECT_EQ(fresh.rows[0].name, "");
  for (double f : fresh.rows[0].feature) EXPECT_EQ(f, 0.0);
  EXPECT_EQ(seed, 237.0);
}

TEST_F(SelectionSteps, OptionFileFillsRowZeroAndSearchComparesWithIt) {
  run("first;0;0;0;0;0;0;0;0;0;0;1;-a\n"
      "near;1;1;1;0;0;1;1;1;1;1;2;-b\n"
      "far;4;4;4;0;0;4;4;4;4;4;3;-c\n");
  EXPECT_EQ(out.out, "");
  EXPECT_EQ(out.err, "");
  ASSERT_EQ(OF.n, 3);
  EXPECT_EQ(OF.rows[0].name, "first");  // the first line replaces row 0
  EXPECT_EQ(OF.rows[2].options, "-c");
  // Normalised against max 4 and min 0 (features 3 and 4 have no range).
  EXPECT_DOUBLE_EQ(OF.rows[1].feature[0], 0.25);
  EXPECT_EQ(iA, 1);
  EXPECT_DOUBLE_EQ(distA, std::sqrt(3 * 0.25 * 0.25));
  // Group B is NaN everywhere, so it keeps its start values; row 2 is
  // farther than row 1 in group A, and group C then takes it.
  EXPECT_EQ(iB, 1);
  EXPECT_EQ(distB, 9999999.0);
  EXPECT_EQ(iC, 2);
  EXPECT_DOUBLE_EQ(distC, std::sqrt(5.0));
}

TEST_F(SelectionSteps, MissingOptionFileKeepsTableAndStartValues) {
  std::string path = dir.file("absent.txt");
  out = capture([&] { runSelectionSteps(&path[0]); });
  EXPECT_EQ(out.err, "Error opening '" + path + "'. Bailing out.\n");
  EXPECT_EQ(OF.n, 0);
  EXPECT_EQ(OF.rows[0].name, "set7.fa");
  EXPECT_EQ(iA, 1);
  EXPECT_EQ(distA, 9999999.0);
}

}  // namespace
