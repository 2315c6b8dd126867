#include "compare/edit_distance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "compare/banded_myers.h"
#include "getChar.h"
#include "random_sequences.h"

namespace {

using random_sequences::mutated;
using random_sequences::randomString;

// Row-by-row dynamic programme, the plain definition of the distance.
uint64_t referenceDistance(const std::string& a, const std::string& b) {
  std::vector<uint64_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    uint64_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      uint64_t above = row[j];
      uint64_t substitution = diagonal + (a[i - 1] != b[j - 1]);
      row[j] = std::min(substitution, std::min(above, row[j - 1]) + 1);
      diagonal = above;
    }
  }
  return row[b.size()];
}

double expectedScore(double s) { return -log(1.0 - (s - 0.2 * s * s)); }

bool isNegativeZero(double x) { return x == 0.0 && std::signbit(x); }

std::vector<myers::StripKernel> kernels() {
  std::vector<myers::StripKernel> all = {myers::StripKernel::kPortable};
  if (myers::stripAvx2Available()) all.push_back(myers::StripKernel::kAvx2);
  return all;
}

// Lengths on either side of the 64-row blocks and of the 8-column strips.
const std::vector<size_t> kEdgeLengths = {0,   1,   2,   3,   7,   8,   9,   31,  63,  64, 65,
                                          127, 128, 129, 191, 192, 193, 255, 256, 257, 300};

// Related pairs (a copy with one edit in `editEvery` positions, long
// insertions included), unrelated pairs and lengths far apart, over small
// and large alphabets.
TEST(EditDistance, MatchesRowByRowProgrammeOnRandomPairs) {
  std::mt19937 random(20261207);
  const std::vector<int> alphabets = {2, 4, 20, 256};
  const std::vector<int> editEvery = {3, 10, 40, 200};
  std::uniform_int_distribution<size_t> anyLength(0, 300);
  for (int round = 0; round < 1500; ++round) {
    int alphabet = alphabets[round % alphabets.size()];
    size_t aLength =
        round % 3 == 0 ? anyLength(random) : kEdgeLengths[random() % kEdgeLengths.size()];
    size_t bLength =
        round % 5 == 0 ? anyLength(random) : kEdgeLengths[random() % kEdgeLengths.size()];
    std::string a = randomString(random, aLength, alphabet);
    std::string b = round % 2
                        ? mutated(random, a, alphabet, editEvery[round / 2 % 4], 1 + round % 7)
                        : randomString(random, bLength, alphabet);
    uint64_t expected = referenceDistance(a, b);
    for (myers::StripKernel kernel : kernels()) {
      ASSERT_EQ(editDistance(a.data(), a.size(), b.data(), b.size(), kernel), expected)
          << "lengths " << a.size() << " and " << b.size() << ", alphabet " << alphabet;
      ASSERT_EQ(editDistance(b.data(), b.size(), a.data(), a.size(), kernel), expected);
    }
  }
}

// Long pairs take the band far from where it starts, in both passes.
TEST(EditDistance, MatchesRowByRowProgrammeOnLongPairs) {
  std::mt19937 random(5000);
  for (int editEvery : {100, 10, 3, 0}) {
    std::string a = randomString(random, 5000, 20);
    std::string b = editEvery ? mutated(random, a, 20, editEvery, 1 + editEvery % 5)
                              : randomString(random, 5000, 20);
    uint64_t expected = referenceDistance(a, b);
    for (myers::StripKernel kernel : kernels()) {
      ASSERT_EQ(editDistance(a.data(), a.size(), b.data(), b.size(), kernel), expected)
          << "one edit in " << editEvery;
    }
  }
  // A long gap in the middle, and a short string against a long one.
  std::string a = randomString(random, 4000, 4);
  std::string b = a.substr(0, 1500) + randomString(random, 900, 4) + a.substr(2500);
  EXPECT_EQ(editDistance(a.data(), a.size(), b.data(), b.size()), referenceDistance(a, b));
  std::string c = a.substr(1000, 300);
  EXPECT_EQ(editDistance(a.data(), a.size(), c.data(), c.size()), referenceDistance(a, c));
}

// Runs, short repeats and shifted copies give many paths of equal cost,
// between which a band that follows the cheapest cells must not get lost.
TEST(EditDistance, MatchesRowByRowProgrammeOnRepetitiveStrings) {
  std::mt19937 random(7);
  const std::string unit = "ACGTTG";
  std::string repeat;
  while (repeat.size() < 1500) repeat += unit;
  std::string runs;
  while (runs.size() < 1500) runs += std::string(1 + random() % 90, char('A' + random() % 3));
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {std::string(1000, 'A'), std::string(1300, 'A')},
      {std::string(700, 'A'), std::string(700, 'B')},
      {repeat, repeat.substr(2) + "GG"},
      {repeat, mutated(random, repeat, 4, 15, 6)},
      {runs, mutated(random, runs, 3, 30, 40)},
      {runs, runs.substr(500) + runs.substr(0, 500)},
  };
  for (const auto& pair : pairs) {
    const std::string& a = pair.first;
    const std::string& b = pair.second;
    for (myers::StripKernel kernel : kernels()) {
      ASSERT_EQ(editDistance(a.data(), a.size(), b.data(), b.size(), kernel),
                referenceDistance(a, b))
          << "lengths " << a.size() << " and " << b.size();
    }
  }
}

// The vector step leaves the same blocks and the same change at the bottom
// as the portable one, from any state, over any range.
TEST(MyersBlocks, VectorStepMatchesPortableStep) {
  if (!myers::stripAvx2Available()) GTEST_SKIP() << "no AVX2";
  std::mt19937_64 random(11);
  std::mt19937 letters(12);
  const std::string pattern = randomString(letters, 1000, 4);
  const std::string text = randomString(letters, myers::kStripColumns, 4);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern.data());
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text.data());
  myers::MatchMasks masks(p, pattern.size());
  for (size_t first = 0; first < 4; ++first) {
    for (size_t last = first; last < masks.blocks(); last += 1 + last / 3) {
      myers::BlockState portable(masks.blocks()), vector(masks.blocks());
      for (size_t b = 0; b < masks.blocks(); ++b) {
        uint64_t plus = random(), minus = random() & ~plus;  // never both
        portable.plus[b] = vector.plus[b] = plus;
        portable.minus[b] = vector.minus[b] = minus;
      }
      int expected =
          myers::advanceStripPortable(masks, t, myers::kStripColumns, first, last, portable);
      ASSERT_EQ(myers::advanceStripAvx2(masks, t, first, last, vector), expected)
          << "blocks " << first << " to " << last;
      ASSERT_EQ(vector.plus, portable.plus);
      ASSERT_EQ(vector.minus, portable.minus);
    }
  }
}

// The cut-off returns the distance from any bound at or above it: a
// threshold of d - 1 lets the band run dry, a threshold of d just keeps the
// path. A first pass whose ceiling just fits the distance proves it; one
// that just fails still reports the cost of a path, never below d.
TEST(BandedMyers, BoundsThatJustFitOrJustFail) {
  std::mt19937 random(64);
  for (int round = 0; round < 300; ++round) {
    int alphabet = round % 2 ? 4 : 20;
    std::string a = randomString(
        random, kEdgeLengths[1 + round % (kEdgeLengths.size() - 1)] + random() % 400, alphabet);
    std::string b = round % 3 ? mutated(random, a, alphabet, 5 + round % 20, 1 + round % 4)
                              : randomString(random, random() % 300 + 1, alphabet);
    if (b.empty()) b = "x";
    if (a.size() > b.size()) std::swap(a, b);
    const int64_t d = int64_t(referenceDistance(a, b));
    const int64_t gap = int64_t(b.size() - a.size());
    for (myers::StripKernel kernel : kernels()) {
      BandedMyers band(reinterpret_cast<const unsigned char*>(a.data()), a.size(),
                       reinterpret_cast<const unsigned char*>(b.data()), b.size(), kernel);
      for (int64_t bound : {d, d + 1, d + 9, int64_t(b.size())}) {
        ASSERT_EQ(band.run(bound, bound, 0).bound, d) << "bound " << bound;
      }
      BandedMyers::Result fits = band.run(d, int64_t(b.size()), 3);
      EXPECT_EQ(fits.bound, d);
      EXPECT_LE(fits.bound, fits.exactBelow);
      for (int64_t ceiling : {d - 1, gap, int64_t(-1)}) {
        for (auto follow : {BandedMyers::Follow::kCheapest, BandedMyers::Follow::kTowardEnd}) {
          BandedMyers::Result fails = band.run(ceiling, int64_t(b.size()), 3, follow);
          ASSERT_GE(fails.bound, d);
          if (fails.bound <= fails.exactBelow) {
            ASSERT_EQ(fails.bound, d);
          }
        }
      }
    }
  }
}

TEST(Levenshtein, WorkedValues) {
  EXPECT_EQ(levenshtein("GATTACA", "GCATGCU"), expectedScore(1.0 - 4.0 / 7.0));
  EXPECT_NEAR(levenshtein("GATTACA", "GCATGCU"), 0.4973119, 1e-7);
  EXPECT_EQ(levenshtein("GATTACA", "GATACA"), expectedScore(1.0 - 1.0 / 7.0));
  EXPECT_NEAR(levenshtein("GATTACA", "GATACA"), 1.2385783, 1e-7);
  EXPECT_EQ(levenshtein("ACG", "ACGT"), expectedScore(0.75));
  EXPECT_NEAR(levenshtein("ACG", "ACGT"), 1.0147308, 1e-7);
  EXPECT_EQ(levenshtein("ACGT", "ACGT"), expectedScore(1.0));
  EXPECT_NEAR(levenshtein("ACGT", "ACGT"), log(5.0), 1e-15);
  EXPECT_TRUE(isNegativeZero(levenshtein("AC", "GT")));
  EXPECT_TRUE(isNegativeZero(levenshtein("acgt", "ACGT")));
}

TEST(Levenshtein, EmptyOperandGivesOtherLength) {
  EXPECT_EQ(levenshtein("", "ACGT"), 4.0);
  EXPECT_EQ(levenshtein("ACGT", ""), 4.0);
  EXPECT_EQ(levenshtein("", ""), 0.0);
}

TEST(UiLevenshteinDistance, WorkedValuesAndSimilarity) {
  double s = -1;
  EXPECT_EQ(uiLevenshteinDistance("GATTACA", "GCATGCU", s), expectedScore(1.0 - 4.0 / 7.0));
  EXPECT_EQ(s, 1.0 - 4.0 / 7.0);
  EXPECT_EQ(uiLevenshteinDistance("ACGT", "ACGT", s), expectedScore(1.0));
  EXPECT_EQ(s, 1.0);
  EXPECT_TRUE(isNegativeZero(uiLevenshteinDistance("AC", "GT", s)));
  EXPECT_EQ(s, 0.0);
}

TEST(UiLevenshteinDistance, OneEmptyOperandIsNegativeZero) {
  double s = -1;
  EXPECT_TRUE(isNegativeZero(uiLevenshteinDistance("", "ACGT", s)));
  EXPECT_EQ(s, 0.0);
  s = -1;
  EXPECT_TRUE(isNegativeZero(uiLevenshteinDistance("ACGT", "", s)));
  EXPECT_EQ(s, 0.0);
}

// Two empty strings are identical: similarity 1 and the top score ln 5.
TEST(UiLevenshteinDistance, TwoEmptyStringsAreIdentical) {
  double s = -1;
  EXPECT_EQ(uiLevenshteinDistance("", "", s), expectedScore(1.0));
  EXPECT_NEAR(uiLevenshteinDistance("", "", s), log(5.0), 1e-15);
  EXPECT_EQ(s, 1.0);
}

TEST(Levenshtein, BothOperationsAgreeAndAreSymmetric) {
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    // NUL-free strings, so that the character-array form sees all of them.
    std::string a = randomString(random, random() % 200 + 1, 20);
    std::string b =
        round % 2 ? mutated(random, a, 20, 40, 1) : randomString(random, random() % 200 + 1, 20);
    if (b.empty()) b = "x";
    double sAB = -1, sBA = -1;
    double rAB = uiLevenshteinDistance(a.c_str(), b.c_str(), sAB);
    double rBA = uiLevenshteinDistance(b.c_str(), a.c_str(), sBA);
    double expectedS = 1.0 - double(referenceDistance(a, b)) / double(std::max(a.size(), b.size()));
    ASSERT_EQ(sAB, expectedS);
    ASSERT_EQ(sBA, expectedS);
    ASSERT_EQ(rAB, expectedScore(expectedS));
    ASSERT_EQ(rBA, rAB);
    ASSERT_EQ(levenshtein(a, b), rAB);
    ASSERT_EQ(levenshtein(b, a), rAB);
  }
}

}  // namespace
