// Reading the two scores out of the scorer's report.
#include "aligners/scoring.h"

#include <gtest/gtest.h>

TEST(ScoreReportTest, ScoresAreTheThirdAndFourthValues) {
  double a = 0, b = 0;
  ASSERT_TRUE(readScoreReport("Test=t.fa;Ref=r.fa;Q=0.875;TC=0.25\n", a, b));
  EXPECT_EQ(a, 0.875);
  EXPECT_EQ(b, 0.25);
  // Tokens are counted, not names: extra fields after the fourth are ignored.
  ASSERT_TRUE(readScoreReport("A=1;B=2;C= 3e-1x;D=4;E=5", a, b));
  EXPECT_EQ(a, 0.3);
  EXPECT_EQ(b, 4.0);
}

TEST(ScoreReportTest, EightTokensWithoutNumbersGiveZero) {
  double a = -5, b = -5;
  ASSERT_TRUE(readScoreReport("Test=x;Ref=y;Q=;TC=n/a", a, b));
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
}

TEST(ScoreReportTest, ShortReportLeavesTheScoresAlone) {
  double a = 2, b = 3;
  for (const char* report : {"", "ERROR", "Test=x;Ref=y;Q=0.5\n", "a==b;;c"}) {
    EXPECT_FALSE(readScoreReport(report, a, b)) << report;
  }
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 3);
}
