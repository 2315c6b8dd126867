// Ordering of results.
#include "advice/ranking.h"

#include <gtest/gtest.h>

namespace advice {
namespace {

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

}  // namespace
}  // namespace advice
