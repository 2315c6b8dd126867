// Column and residue support: worked by hand, and against a plain count of
// every pair on random alignments.
#include "scoring/column_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace scoring {
namespace {

// The agreement test's X and Y: Y keeps 5 of X's 8 pairs.
const std::vector<std::string> kX = {"AC-D", "A-CD", "ACCD"};
const std::vector<std::string> kY = {"ACD-", "AC-D", "ACCD"};

TEST(ColumnSupport, WorkedColumnsAndResidues) {
  ColumnSupport s;
  std::string error;
  ASSERT_TRUE(columnSupport(kX, {&kY}, {1.0}, &s, &error)) << error;
  // Columns AAA (kept), C-C (kept), -CC (split), DDD (only b-c kept).
  EXPECT_EQ(s.columns, (std::vector<double>{1, 1, 0, 1.0 / 3}));
  EXPECT_DOUBLE_EQ(s.residues[0][2], 0);    // a's D: with neither
  EXPECT_DOUBLE_EQ(s.residues[1][2], 0.5);  // b's D: with c's, not a's
  EXPECT_DOUBLE_EQ(s.residues[2][1], 1);    // c's first C: with a's
  EXPECT_DOUBLE_EQ(s.residues[2][2], 0);    // c's second C: apart from b's
  // Weighted: X itself supports everything; weights 1 and 3 give
  // 1/4 + 3/4 * Y's support. Case and the gap character do not matter.
  const std::vector<std::string> lower = {"ac.d", "a.cd", "accd"};
  ASSERT_TRUE(columnSupport(kX, {&lower, &kY}, {1.0, 3.0}, &s, &error)) << error;
  EXPECT_DOUBLE_EQ(s.columns[2], 0.25);
  EXPECT_DOUBLE_EQ(s.columns[3], 0.25 + 0.75 / 3);
}

TEST(ColumnSupport, NoPairsNoSupport) {
  const std::vector<std::string> chosen = {"A-C", "-BC"}, other = {"AC-", "B-C"};
  ColumnSupport s;
  std::string error;
  ASSERT_TRUE(columnSupport(chosen, {&other}, {1.0}, &s, &error)) << error;
  EXPECT_TRUE(std::isnan(s.columns[0]));
  EXPECT_TRUE(std::isnan(s.columns[1]));
  EXPECT_DOUBLE_EQ(s.columns[2], 0);  // the C's stand apart in the other
  EXPECT_TRUE(std::isnan(s.residues[0][0]));
  EXPECT_EQ(s.residues[1].size(), 2u);
}

TEST(ColumnSupport, RefusesOtherResiduesRaggedRowsAndBadWeights) {
  ColumnSupport s;
  std::string error;
  const std::vector<std::string> otherResidues = {"ACD-", "AC-E", "ACCD"};
  EXPECT_FALSE(columnSupport(kX, {&otherResidues}, {1.0}, &s, &error));
  const std::vector<std::string> missing = {"ACD", "AC-", "ACCD"};
  EXPECT_FALSE(columnSupport(kX, {&missing}, {1.0}, &s, &error));
  const std::vector<std::string> fewerRows = {"ACD-", "AC-D"};
  EXPECT_FALSE(columnSupport(kX, {&fewerRows}, {1.0}, &s, &error));
  EXPECT_FALSE(columnSupport({"AC", "A"}, {&kY}, {1.0}, &s, &error));
  EXPECT_FALSE(columnSupport(kX, {&kY}, {}, &s, &error));
  EXPECT_FALSE(columnSupport(kX, {&kY}, {0.0}, &s, &error));
  EXPECT_FALSE(columnSupport(kX, {&kY}, {-1.0}, &s, &error));
  EXPECT_FALSE(columnSupport(kX, {&kY}, {NAN}, &s, &error));
  EXPECT_FALSE(columnSupport(kX, {nullptr}, {1.0}, &s, &error));
}

// Random gapped versions of the same sequences.
std::vector<std::string> randomAlignment(const std::vector<std::string>& sequences, int width,
                                         std::mt19937* random) {
  std::vector<std::string> rows;
  for (const std::string& s : sequences) {
    std::vector<bool> residueAt(width, false);
    std::vector<int> places(width);
    for (int c = 0; c < width; ++c) places[c] = c;
    std::shuffle(places.begin(), places.end(), *random);
    for (size_t k = 0; k < s.size(); ++k) residueAt[places[k]] = true;
    std::string row;
    for (int c = 0, k = 0; c < width; ++c) row += residueAt[c] ? s[k++] : '-';
    rows.push_back(row);
  }
  return rows;
}

TEST(ColumnSupport, MatchesAPlainCountOfEveryPair) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 30; ++trial) {
    const int rows = 2 + trial % 7, width = 12 + trial % 5;
    std::vector<std::string> sequences;
    for (int r = 0; r < rows; ++r) {
      std::string s;
      for (int k = 0, n = 3 + static_cast<int>(random() % 9); k < n; ++k)
        s += static_cast<char>('A' + random() % 4);
      sequences.push_back(s);
    }
    const std::vector<std::string> chosen = randomAlignment(sequences, width, &random);
    std::vector<std::vector<std::string>> others;
    for (int o = 0; o < 3; ++o) others.push_back(randomAlignment(sequences, width + o, &random));
    const std::vector<double> weights = {0.5, 2, 1};
    ColumnSupport s;
    std::string error;
    ASSERT_TRUE(columnSupport(chosen, {&others[0], &others[1], &others[2]}, weights, &s, &error))
        << error;

    // Plain: the column of each residue in each alignment, every pair tried.
    auto columnsOf = [](const std::vector<std::string>& a) {
      std::vector<std::vector<int>> at(a.size());
      for (size_t r = 0; r < a.size(); ++r)
        for (size_t c = 0; c < a[r].size(); ++c)
          if (a[r][c] != '-') at[r].push_back(static_cast<int>(c));
      return at;
    };
    const auto mine = columnsOf(chosen);
    for (int c = 0; c < width; ++c) {
      std::vector<std::pair<int, int>> here;  // (row, residue)
      for (int r = 0; r < rows; ++r)
        for (size_t k = 0; k < mine[r].size(); ++k)
          if (mine[r][k] == c) here.emplace_back(r, static_cast<int>(k));
      if (here.size() < 2) {
        EXPECT_TRUE(std::isnan(s.columns[c]));
        continue;
      }
      double column = 0;
      std::vector<double> residue(here.size(), 0);
      for (int o = 0; o < 3; ++o) {
        const auto theirs = columnsOf(others[o]);
        int kept = 0, pairs = 0;
        for (size_t i = 0; i < here.size(); ++i)
          for (size_t j = 0; j < here.size(); ++j) {
            if (i == j) continue;
            const bool together =
                theirs[here[i].first][here[i].second] == theirs[here[j].first][here[j].second];
            kept += together, ++pairs;
            residue[i] += weights[o] * together / double(here.size() - 1);
          }
        column += weights[o] * kept / pairs;
      }
      EXPECT_NEAR(s.columns[c], column / 3.5, 1e-12);
      for (size_t i = 0; i < here.size(); ++i)
        EXPECT_NEAR(s.residues[here[i].first][here[i].second], residue[i] / 3.5, 1e-12);
    }
  }
}

}  // namespace
}  // namespace scoring
