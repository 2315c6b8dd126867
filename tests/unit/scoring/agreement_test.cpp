// The agreement share between two alignments, worked out by hand.
#include "scoring/agreement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "parsed_alignment.h"

namespace scoring {
namespace {

// x aligns 8 pairs (columns abc, ac, bc, abc); y keeps 5 of them. z aligns
// 7 pairs (columns abc, ac, abc) and keeps 6 of x's; x keeps 6 of z's.
const char kX[] = ">a\nAC-D\n>b\nA-CD\n>c\nACCD\n";
const char kY[] = ">a\nACD-\n>b\nAC-D\n>c\nACCD\n";
const char kZ[] = ">a\nA-C-D\n>b\nA--CD\n>c\nACC-D\n";

TEST(Agreement, IsTheShareOfTheFirstAlignmentsPairsKeptByTheSecond) {
  double share = 0;
  std::string error;
  ASSERT_TRUE(agreementShare(parsedAlignment(kX), parsedAlignment(kY), &share, &error)) << error;
  EXPECT_DOUBLE_EQ(share, 5.0 / 8);
  ASSERT_TRUE(agreementShare(parsedAlignment(kX), parsedAlignment(kX), &share, &error));
  EXPECT_DOUBLE_EQ(share, 1.0);
  // Not symmetric: the first alignment's pairs are the ones counted.
  ASSERT_TRUE(agreementShare(parsedAlignment(kX), parsedAlignment(kZ), &share, &error));
  EXPECT_DOUBLE_EQ(share, 6.0 / 8);
  ASSERT_TRUE(agreementShare(parsedAlignment(kZ), parsedAlignment(kX), &share, &error));
  EXPECT_DOUBLE_EQ(share, 6.0 / 7);
}

TEST(Agreement, CountsEveryResidueWhateverItsCaseAndMatchesByName) {
  double upper = 0, mixed = 0;
  std::string error;
  ASSERT_TRUE(agreementShare(parsedAlignment(kX), parsedAlignment(kY), &upper, &error));
  // Lower case in either alignment and another row order change nothing.
  ASSERT_TRUE(agreementShare(parsedAlignment(">c\naccd\n>a\nac-d\n>b\nA-cD\n"),
                             parsedAlignment(">b\nac-d\n>c\nACCD\n>a\nacd-\n"), &mixed, &error))
      << error;
  EXPECT_DOUBLE_EQ(mixed, upper);
}

TEST(Agreement, FailsOnOtherSequencesAndOnNoPairs) {
  double share = 0;
  std::string error;
  EXPECT_FALSE(
      agreementShare(parsedAlignment(kX), parsedAlignment(">a\nACD\n>b\nACD\n"), &share, &error));
  EXPECT_FALSE(agreementShare(parsedAlignment(kX),
                              parsedAlignment(">a\nACD-\n>b\nAC-D\n>d\nACCD\n"), &share, &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_FALSE(agreementShare(parsedAlignment(kX),
                              parsedAlignment(">a\nACD-\n>b\nAC-D\n>c\nACGD\n"), &share, &error));
  // No two residues share a column: undefined, not 0 or 1.
  EXPECT_FALSE(agreementShare(parsedAlignment(">a\nA-\n>b\n-C\n"),
                              parsedAlignment(">a\nA-\n>b\n-C\n"), &share, &error));
}

TEST(Agreement, BuildsAlignmentsFromRows) {
  Alignment a;
  std::string error;
  ASSERT_TRUE(alignmentFromRows({"a", "b", "c"}, {"AC-D", "A-CD", "ACCD"}, &a, &error));
  double share = 0;
  ASSERT_TRUE(agreementShare(a, parsedAlignment(kY), &share, &error));
  EXPECT_DOUBLE_EQ(share, 5.0 / 8);
  EXPECT_FALSE(alignmentFromRows({"a", "b"}, {"AC", "A"}, &a, &error));
}

// Grown by one alignment, the matrix equals the one made at once, and the
// pairs it had are not computed again (a marker there survives).
TEST(Agreement, AGrownMatrixComputesOnlyTheNewPairs) {
  const std::vector<std::string> names = {"a", "b", "c"};
  const std::vector<std::string> x = {"AC-D", "A-CD", "ACCD"}, y = {"ACD-", "AC-D", "ACCD"},
                                 z = {"-ACD", "AC-D", "ACCD"};
  const std::vector<std::vector<double>> whole = agreementMatrix(names, {&x, &y, &z});
  std::vector<std::vector<double>> grown = agreementMatrix(names, {&x, &y});
  grown[0][1] = 7;  // the marker
  extendAgreementMatrix(names, {&x, &y, &z}, &grown);
  ASSERT_EQ(grown.size(), 3u);
  EXPECT_EQ(grown[0][1], 7);
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) {
      if (i == 0 && j == 1) continue;
      if (std::isnan(whole[i][j]))
        EXPECT_TRUE(std::isnan(grown[i][j])) << i << j;
      else
        EXPECT_DOUBLE_EQ(grown[i][j], whole[i][j]) << i << j;
    }
}

}  // namespace
}  // namespace scoring
