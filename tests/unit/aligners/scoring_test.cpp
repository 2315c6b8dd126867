// Reading the two scores out of the scorer's report.
#include "aligners/scoring.h"

#include <gtest/gtest.h>

TEST(ScoreReportTest, ScoresAreTheQAndTcFieldsAtTheEnd) {
  double a = 0, b = 0;
  ASSERT_TRUE(readScoreReport("Test=t.fa;Ref=r.fa;Q=0.875;TC=0.25\n", a, b));
  EXPECT_EQ(a, 0.875);
  EXPECT_EQ(b, 0.25);
  // "=" in the paths shifts no field.
  ASSERT_TRUE(readScoreReport("Test=a=b/t=1.fa;Ref=x==y/r.msf;Q=0.928;TC=1e-3\n", a, b));
  EXPECT_EQ(a, 0.928);
  EXPECT_EQ(b, 0.001);
}

TEST(ScoreReportTest, AnythingElseHoldsNoScores) {
  double a = 2, b = 3;
  for (const char* report :
       {"", "ERROR", "Test=x;Ref=y;Q=0.5\n", "Q=0.5;TC=0.4\n", "Test=x;Ref=y;Q=;TC=n/a\n",
        "A=1;B=2;C=3;D=4\n", "Test=x;Ref=y;TC=0.5;Q=0.4\n", "Test=x;Ref=y;Q=0.5x;TC=0.4\n",
        "Test=x;Ref=y;Q= 0.5 ;TC=0.4\n", "Test=x;Ref=y;Q=nan;TC=0.4\n",
        "Test=x;Ref=y;Q=0.5;TC=0.4;\n", "Test=x;Ref=y;Q=0.5;TC=0.4\n\n"}) {
    EXPECT_FALSE(readScoreReport(report, a, b)) << report;
  }
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 3);
}
