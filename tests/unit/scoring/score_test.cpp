// Q and TC on small alignments worked out by hand. The base reference has
// 8 residue pairs in 4 columns:
//   a AC-D     col 0: a b c   3 pairs
//   b A-CD     col 1: a c     1 pair
//   c ACCD     col 2: b c     1 pair
//              col 3: a b c   3 pairs
#include "scoring/score.h"

#include <gtest/gtest.h>

#include "parsed_alignment.h"

namespace scoring {
namespace {

const char kReference[] = ">a\nAC-D\n>b\nA-CD\n>c\nACCD\n";
// Keeps columns 0 and 1; splits column 2 (0 of 1) and column 3 (1 of 3).
const char kTest[] = ">a\nACD-\n>b\nAC-D\n>c\nACCD\n";

Score scoreOk(const std::string& test, const std::string& reference, ScoreOptions options = {}) {
  Score score;
  std::string error;
  EXPECT_TRUE(
      scoreAlignments(parsedAlignment(test), parsedAlignment(reference), options, &score, &error))
      << error;
  return score;
}

std::string scoreError(const std::string& test, const std::string& reference,
                       ScoreOptions options = {}) {
  Score score;
  std::string error;
  EXPECT_FALSE(
      scoreAlignments(parsedAlignment(test), parsedAlignment(reference), options, &score, &error));
  return error;
}

TEST(AlnscoreScore, CountsPairsAndWholeColumns) {
  Score same = scoreOk(kReference, kReference);
  EXPECT_EQ(same.counts.referencePairs, 8u);
  EXPECT_EQ(same.q, 1.0);
  EXPECT_EQ(same.tc, 1.0);

  Score s = scoreOk(kTest, kReference);
  EXPECT_EQ(s.counts.alignedPairs, 5u);
  EXPECT_EQ(s.counts.scoredColumns, 4u);
  EXPECT_EQ(s.counts.correctColumns, 2u);
  EXPECT_DOUBLE_EQ(s.q, 5.0 / 8);
  EXPECT_DOUBLE_EQ(s.tc, 0.5);
}

TEST(AlnscoreScore, OnlyUpperCaseReferenceResiduesCount) {
  // c's lower-case 'c' drops out of column 1 (one residue left, not scored)
  // but still takes its place in the row: c's next 'C' is its third residue.
  Score s = scoreOk(kTest, ">a\nAC-D\n>b\nA-CD\n>c\nAcCD\n");
  EXPECT_EQ(s.counts.referencePairs, 7u);
  EXPECT_EQ(s.counts.alignedPairs, 4u);
  EXPECT_EQ(s.counts.scoredColumns, 3u);
  EXPECT_DOUBLE_EQ(s.tc, 1.0 / 3);
}

TEST(AlnscoreScore, LowerCaseTestResiduesAreUnalignedUnlessCaseIsIgnored) {
  const char test[] = ">a\naCD-\n>b\nAC-D\n>c\nACCD\n";
  Score s = scoreOk(test, kReference);
  EXPECT_EQ(s.counts.alignedPairs, 3u);  // column 0 keeps only b-c
  EXPECT_DOUBLE_EQ(s.tc, 0.25);
  ScoreOptions ignoreCase;
  ignoreCase.ignoreTestCase = true;
  EXPECT_DOUBLE_EQ(scoreOk(test, kReference, ignoreCase).q, 5.0 / 8);
}

TEST(AlnscoreScore, MissingAndExtraSequences) {
  const char withoutC[] = ">a\nACD-\n>b\nAC-D\n>z\nWWWW\n";
  EXPECT_NE(scoreError(withoutC, kReference).find("'c' is missing"), std::string::npos);

  ScoreOptions skip;
  skip.match.ignoreMissingSequences = true;
  Score s = scoreOk(withoutC, kReference, skip);  // a-b pairs only: columns 0 and 3
  EXPECT_EQ(s.match.missingSequences, 1u);
  EXPECT_EQ(s.scoredSequences, 2u);
  EXPECT_EQ(s.counts.referencePairs, 2u);
  EXPECT_DOUBLE_EQ(s.q, 0.5);

  // An extra test sequence changes nothing.
  EXPECT_DOUBLE_EQ(scoreOk(std::string(kTest) + ">z\nWWWW\n", kReference).q, 5.0 / 8);
}

TEST(AlnscoreScore, NamesMatchWholeOrUpToTheFirstBlank) {
  const char reference[] = ">a one\nAC-D\n>b\tt\nA-CD\n>c\nACCD\n";
  const char test[] = ">a two\nACD-\n>b\nAC-D\n>c\nACCD\n";
  EXPECT_NE(scoreError(test, reference).find("'a one' is missing"), std::string::npos);
  ScoreOptions truncate;
  truncate.match.truncateNames = true;
  EXPECT_DOUBLE_EQ(scoreOk(test, reference, truncate).q, 5.0 / 8);
}

TEST(AlnscoreScore, DuplicateNamesAreAmbiguous) {
  EXPECT_NE(
      scoreError(kTest, std::string(kReference) + ">a\nACDE\n").find("twice in the reference"),
      std::string::npos);
  EXPECT_NE(scoreError(std::string(kTest) + ">b\nACD-\n", kReference).find("twice in the test"),
            std::string::npos);
  // A repeated name the reference does not use is just an extra sequence.
  scoreOk(std::string(kTest) + ">z\nAAAA\n>z\nAAAA\n", kReference);
}

TEST(AlnscoreScore, DifferingResiduesFailOrArePairedByPosition) {
  // a lacks its 'D' in the test: that residue has no test column.
  const char shorter[] = ">a\nAC--\n>b\nA-CD\n>c\nACCD\n";
  EXPECT_NE(scoreError(shorter, kReference).find("residues of sequence 'a' differ"),
            std::string::npos);
  ScoreOptions warn;
  warn.match.warnOnResidueDifferences = true;
  Score s = scoreOk(shorter, kReference, warn);
  EXPECT_EQ(s.match.differingSequences, 1u);
  EXPECT_EQ(s.counts.alignedPairs, 6u);
  EXPECT_DOUBLE_EQ(s.tc, 0.75);
  // A substitution keeps every position; case alone is no difference.
  EXPECT_EQ(scoreOk(">a\nAG-D\n>b\nA-CD\n>c\nACCD\n", kReference, warn).counts.alignedPairs, 8u);
  EXPECT_EQ(scoreOk(">a\nac-d\n>b\nA-CD\n>c\nACCD\n", kReference, ScoreOptions{})
                .match.differingSequences,
            0u);
}

TEST(AlnscoreScore, UndefinedWhenNoReferencePairExists) {
  // Q would be 0/0: an error, not a score.
  EXPECT_NE(scoreError(">a\nAC\n", ">a\nAC\n").find("undefined"), std::string::npos);
  EXPECT_NE(scoreError(">a\nAC\n>b\nAC\n", ">a\nac\n>b\nAC\n").find("undefined"),
            std::string::npos);
  ScoreOptions skip;
  skip.match.ignoreMissingSequences = true;
  EXPECT_NE(scoreError(">z\nAC\n", ">a\nAC\n>b\nAC\n", skip).find("undefined"), std::string::npos);
}

TEST(AlnscoreScore, PairCountsDoNotOverflowThirtyTwoBits) {
  Alignment column;
  for (int i = 0; i < 100000; ++i) column.sequences.push_back({"s" + std::to_string(i), "A"});
  Score s;
  std::string error;
  ASSERT_TRUE(scoreAlignments(column, column, ScoreOptions{}, &s, &error)) << error;
  EXPECT_EQ(s.counts.referencePairs, 4999950000u);
  EXPECT_EQ(s.q, 1.0);
}

}  // namespace
}  // namespace scoring
