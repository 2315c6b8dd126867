// The agreement of candidates with one another, worked out by hand: the merge
// is kept out of the others' means, and its own mean skips its inputs.
#include "advice/agreement_scores.h"

#include <gtest/gtest.h>

namespace advice {
namespace {

const std::vector<std::string> kNames = {"a", "b", "c"};
// x aligns 8 pairs of which y keeps 5 (scoring's agreement test).
const std::vector<std::string> kX = {"AC-D", "A-CD", "ACCD"};
const std::vector<std::string> kY = {"ACD-", "AC-D", "ACCD"};
const std::vector<std::string> kZ = {"A-C-D", "A--CD", "ACC-D"};

AgreementEntry entry(const std::vector<std::string>* rows, int id) {
  AgreementEntry e;
  e.rows = rows;
  e.id = id;
  return e;
}

TEST(AgreementScores, TheMergeNeitherVotesForItsInputsNorIsVotedForByThem) {
  std::vector<AgreementEntry> plain = {entry(&kX, 1), entry(&kY, 2), entry(&kZ, 3)};
  scoreAgreement(kNames, &plain);
  for (const AgreementEntry& e : plain) ASSERT_TRUE(e.hasAgreement) << e.id;

  // A merge that copies x: with it, x, y and z keep the means they had
  // without it, and the merge is compared with z alone (not an input).
  std::vector<AgreementEntry> merged = plain;
  AgreementEntry merge = entry(&kX, 4);
  merge.isMerge = true;
  merge.mergeInputs = {1, 2};
  merged.push_back(merge);
  scoreAgreement(kNames, &merged);
  for (size_t i = 0; i < plain.size(); ++i)
    EXPECT_DOUBLE_EQ(merged[i].agreement, plain[i].agreement) << merged[i].id;
  std::vector<AgreementEntry> xz = {entry(&kX, 1), entry(&kZ, 3)};
  scoreAgreement(kNames, &xz);
  ASSERT_TRUE(merged[3].hasAgreement);
  EXPECT_DOUBLE_EQ(merged[3].agreement, xz[0].agreement);
}

TEST(AgreementScores, FailedRunsAreSkippedAndALoneCandidateHasNone) {
  std::vector<AgreementEntry> entries = {entry(&kX, 1), entry(nullptr, 2), entry(&kY, 3)};
  scoreAgreement(kNames, &entries);
  EXPECT_FALSE(entries[1].hasAgreement);
  std::vector<AgreementEntry> pair = {entry(&kX, 1), entry(&kY, 3)};
  scoreAgreement(kNames, &pair);
  EXPECT_DOUBLE_EQ(entries[0].agreement, pair[0].agreement);
  EXPECT_DOUBLE_EQ(entries[2].agreement, pair[1].agreement);
  EXPECT_DOUBLE_EQ(pair[0].agreement, 5.0 / 8);  // x's pairs kept by y

  std::vector<AgreementEntry> alone = {entry(&kX, 1), entry(nullptr, 2)};
  scoreAgreement(kNames, &alone);
  EXPECT_FALSE(alone[0].hasAgreement);
}

}  // namespace
}  // namespace advice
