// The agreement of candidates with one another, worked out by hand: the merge
// is kept out of the others' means, and its own mean skips its inputs; the
// consensus estimate counts each other aligner once.
#include "advice/agreement_scores.h"

#include <gtest/gtest.h>

#include <cmath>

#include "runs/aligner_names.h"
#include "runs/configuration.h"

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

CandidateResult result(int kind, bool valid = true) {
  CandidateResult r;
  r.candidate.configuration = runs::makeConfiguration(kind, "");
  r.valid = valid;
  return r;
}

// share[j][i]: of j's pairs, the share i aligns; NaN on the diagonal.
ShareMatrix shares(std::vector<std::vector<double>> rows) {
  for (size_t i = 0; i < rows.size(); ++i) rows[i][i] = std::nan("");
  return rows;
}

TEST(ConsensusScores, EachOtherAlignerVotesOnceAndItsOwnKindNotAtAll) {
  const int mafft = 3, kalign = 2, muscle = 4;
  // Three MAFFT variants that agree with each other, one Kalign, one MUSCLE.
  std::vector<CandidateResult> r = {result(mafft), result(mafft), result(mafft),
                                    result(kalign), result(muscle)};
  const ShareMatrix s = shares({{0, .99, .99, .6, .7},
                                {.99, 0, .99, .5, .7},
                                {.99, .99, 0, .4, .7},
                                {.8, .8, .8, 0, .9},
                                {.5, .5, .5, .3, 0}});
  scoreConsensus(&r, s);
  for (const CandidateResult& c : r) ASSERT_TRUE(c.hasPredicted);
  // A MAFFT variant: Kalign's and MUSCLE's votes, never its siblings'.
  EXPECT_DOUBLE_EQ(r[0].predicted, (.8 + .5) / 2);
  // Kalign: MAFFT's three variants are one vote beside MUSCLE's.
  EXPECT_DOUBLE_EQ(r[3].predicted, ((.6 + .5 + .4) / 3 + .3) / 2);
  EXPECT_DOUBLE_EQ(r[4].predicted, (.7 + .9) / 2);
}

TEST(ConsensusScores, OneAlignerFallsBackToTheOthersAndTheMergeNeitherVotesNorGetsOne) {
  std::vector<CandidateResult> r = {result(3), result(3), result(3, false), result(runs::kMergeKind)};
  const ShareMatrix s = shares({{0, .7, .1, .9}, {.6, 0, .1, .9}, {.1, .1, 0, .1}, {.2, .2, .2, 0}});
  scoreConsensus(&r, s);
  ASSERT_TRUE(r[0].hasPredicted && r[1].hasPredicted);
  EXPECT_DOUBLE_EQ(r[0].predicted, .6);
  EXPECT_DOUBLE_EQ(r[1].predicted, .7);
  EXPECT_FALSE(r[2].hasPredicted);  // no alignment
  EXPECT_FALSE(r[3].hasPredicted);  // the merge
  // Alone: nothing to compare with.
  std::vector<CandidateResult> alone = {result(2), result(3, false)};
  scoreConsensus(&alone, shares({{0, .5}, {.5, 0}}));
  EXPECT_FALSE(alone[0].hasPredicted);
}

}  // namespace
}  // namespace advice
