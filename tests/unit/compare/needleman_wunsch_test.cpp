#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "compare/nw_moves.h"
#include "getChar.h"
#include "random_sequences.h"

namespace {

using random_sequences::mutated;
using random_sequences::randomString;

// Full score matrix and the traceback read off it: diagonal, then left,
// then up, whichever first reproduces the cell's score.
AlignmentSummary referenceAlignment(const std::string& a, const std::string& b) {
  const size_t m = a.size(), n = b.size();
  std::vector<std::vector<long>> M(m + 1, std::vector<long>(n + 1));
  for (size_t j = 0; j <= n; ++j) M[0][j] = -long(j);
  for (size_t i = 1; i <= m; ++i) M[i][0] = -long(i);
  auto weight = [&](size_t i, size_t j) { return a[i - 1] == b[j - 1] ? 1 : -1; };
  for (size_t i = 1; i <= m; ++i)
    for (size_t j = 1; j <= n; ++j)
      M[i][j] = std::max({M[i - 1][j - 1] + weight(i, j), M[i - 1][j] - 1, M[i][j - 1] - 1});
  AlignmentSummary summary;
  size_t i = m, j = n;
  while (i > 0 || j > 0) {
    if (i > 0 && j > 0 && M[i][j] == M[i - 1][j - 1] + weight(i, j)) {
      summary.identities += a[i - 1] == b[j - 1];
      --i;
      --j;
    } else if (j > 0 && M[i][j] == M[i][j - 1] - 1) {
      --j;
    } else {
      --i;
    }
    ++summary.columns;
  }
  return summary;
}

std::vector<MoveFill> fills() {
  std::vector<MoveFill> all = {MoveFill::kPortable};
  if (avx2Available()) all.push_back(MoveFill::kAvx2);
  return all;
}

void expectSameAlignment(const std::string& a, const std::string& b) {
  AlignmentSummary expected = referenceAlignment(a, b);
  for (MoveFill fill : fills()) {
    AlignmentSummary got = alignGlobally(a, b, fill);
    ASSERT_EQ(got.columns, expected.columns)
        << "lengths " << a.size() << " and " << b.size() << ", fill " << int(fill);
    ASSERT_EQ(got.identities, expected.identities)
        << "lengths " << a.size() << " and " << b.size() << ", fill " << int(fill);
  }
}

TEST(NeedlemanWunsch, WorkedAlignments) {
  struct Case {
    const char *a, *b;
    uint64_t columns, identities;
  } cases[] = {{"GATTACA", "GCATGCU", 8, 4},
               {"GATTACA", "GATACA", 7, 6},
               {"ACGT", "AGT", 4, 3},
               {"A", "AAA", 3, 1},
               {"AC", "CA", 3, 1}};
  for (const Case& c : cases) {
    for (MoveFill fill : fills()) {
      AlignmentSummary s = alignGlobally(c.a, c.b, fill);
      EXPECT_EQ(s.columns, c.columns) << c.a << " " << c.b;
      EXPECT_EQ(s.identities, c.identities) << c.a << " " << c.b;
    }
    EXPECT_EQ(NeedlemanWunsch(c.a, c.b), double(c.identities) / double(c.columns));
  }
}

TEST(NeedlemanWunsch, IdentityEmptyAndTwoEmpty) {
  EXPECT_EQ(NeedlemanWunsch("MKVLAT", "MKVLAT"), 1.0);
  EXPECT_EQ(NeedlemanWunsch("", "ACGT"), 0.0);
  EXPECT_EQ(NeedlemanWunsch("ACGT", ""), 0.0);
  EXPECT_TRUE(std::isnan(NeedlemanWunsch("", "")));
}

TEST(NeedlemanWunsch, MatchesFullMatrixOnRandomPairs) {
  std::mt19937 random(424242);
  const std::vector<int> alphabets = {2, 3, 20, 256};
  std::uniform_int_distribution<size_t> anyLength(0, 300);
  for (int round = 0; round < 600; ++round) {
    int alphabet = alphabets[round % alphabets.size()];
    std::string a = randomString(random, anyLength(random), alphabet);
    std::string b = round % 2 ? mutated(random, a, alphabet, 30, 3)
                              : randomString(random, anyLength(random), alphabet);
    expectSameAlignment(a, b);
    expectSameAlignment(b, a);
  }
}

TEST(NeedlemanWunsch, ChunkBoundaries) {
  std::mt19937 random(5);
  for (size_t m : {1, 31, 32, 33, 63, 64, 65, 97})
    for (size_t n : {1, 2, 31, 32, 33, 64, 65})
      expectSameAlignment(randomString(random, m, 4), randomString(random, n, 4));
}

// Scores below -32768 must not wrap into wrong decisions.
TEST(NeedlemanWunsch, SequencesLongerThan16BitScores) {
  std::mt19937 random(11);
  std::string longer = randomString(random, 40000, 20);
  std::string shorter = longer.substr(20000, 30) + longer.substr(39980, 20);
  expectSameAlignment(longer, shorter);
  expectSameAlignment(shorter, longer);
  expectSameAlignment(longer, randomString(random, 45, 20));
}

TEST(WeightNW, MatchMismatchAndCheckedPositions) {
  EXPECT_EQ(weightNW("ACGT", "AGT", 1, 1), 1);
  EXPECT_EQ(weightNW("ACGT", "AGT", 2, 2), -1);
  EXPECT_EQ(weightNW("ACGT", "AGT", 4, 3), 1);
  EXPECT_THROW(weightNW("ACGT", "AGT", 0, 1), std::out_of_range);
  EXPECT_THROW(weightNW("ACGT", "AGT", 5, 1), std::out_of_range);
  EXPECT_THROW(weightNW("ACGT", "AGT", 1, 4), std::out_of_range);
  EXPECT_THROW(weightNW("ACGT", "AGT", 1, -7), std::out_of_range);
}

TEST(WeightNW, FirstPositionIsCheckedFirst) {
  try {
    weightNW("ACGT", "AG", 9, 9);
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    // The message names the size of the string whose access failed.
    EXPECT_NE(std::string(e.what()).find("4"), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).find("2)"), std::string::npos) << e.what();
  }
}

}  // namespace
