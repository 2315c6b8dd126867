#include <cmath>

#include "selection_fixture.h"

namespace {

class OptionRankingTest : public SelectionTest {
 protected:
  void rank(int a, double da, int b, double db, int c, double dc) {
    iA = a, iB = b, iC = c;
    distA = da, distB = db, distC = dc;
    setOptions();
  }
};

TEST_F(OptionRankingTest, RanksByDistanceAndRoundsNearK) {
  rank(4, 0.2, 7, 0.1, 9, 0.3);
  EXPECT_EQ(opt[0], 7);
  EXPECT_EQ(opt[1], 4);
  EXPECT_EQ(opt[2], 9);
  EXPECT_EQ(distA, 0.19999999925494194);  // (0.2 + K) - K
  EXPECT_NEAR(distB, 0.1, 1e-8);
  EXPECT_NEAR(distC, 0.3, 1e-8);
}

TEST_F(OptionRankingTest, RepeatedRowsLeaveEmptyPlaces) {
  rank(1, 9999999.0, 1, 9999999.0, 1, 9999999.0);
  EXPECT_EQ(opt[0], 1);
  EXPECT_EQ(opt[1], 0);
  EXPECT_EQ(opt[2], 0);

  // Group B kept its start values while row 1 holds group A.
  rank(1, 0.2, 1, 9999999.0, 5, 0.1);
  EXPECT_EQ(opt[0], 5);
  EXPECT_EQ(opt[1], 1);
  EXPECT_EQ(opt[2], 0);

  // A NaN distance leaves no minimum: the places are empty, not stale.
  rank(1, 0.2, 2, 0.1, 3, NAN);
  EXPECT_EQ(opt[0], 0);
  EXPECT_EQ(opt[1], 0);
  EXPECT_EQ(opt[2], 0);
}

// Equal distances are raised in more than one pass; every raise is undone, so
// no distance comes back K too high.
TEST_F(OptionRankingTest, EqualDistancesComeBackUnraised) {
  rank(2, 0.1, 3, 0.1, 4, 0.3);
  EXPECT_EQ(opt[0], 3);
  EXPECT_EQ(opt[1], 4);
  EXPECT_EQ(opt[2], 0);
  EXPECT_NEAR(distA, 0.1, 1e-8);
  EXPECT_NEAR(distB, 0.1, 1e-8);
  EXPECT_NEAR(distC, 0.3, 1e-8);

  // Groups at the start value are raised in every pass and come back exact.
  rank(1, 9999999.0, 1, 9999999.0, 1, 9999999.0);
  EXPECT_EQ(distA, 9999999.0);
  EXPECT_EQ(distB, 9999999.0);
  EXPECT_EQ(distC, 9999999.0);
}

}  // namespace
