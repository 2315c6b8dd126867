// Candidate assembly: sources, reasons, duplicates, the aligner filter, and
// the reference table and front read through the library.
#include "advice/candidates.h"

#include <gtest/gtest.h>

#include "advice/core_tables.h"
#include "advice/mafft_auto.h"
#include "getChar.h"
#include "runs/aligner_names.h"
#include "test_support.h"

namespace advice {
namespace {

using runs::makeConfiguration;

using testing_support::TempDir;
using testing_support::writeFile;

const std::vector<int> kAll = {0, 1, 2, 3, 4};

std::vector<std::string> labels(const std::vector<Candidate>& list) {
  std::vector<std::string> out;
  for (const Candidate& c : list) out.push_back(c.configuration.label());
  return out;
}

TEST(Candidates, DefaultsThenBaselineThenTableThenFrontWithMergedReasons) {
  CandidateSources s;
  s.sequences = 10;
  s.aligners = kAll;
  NearestReference r;
  r.rank = 1;
  r.name = "BB1";
  r.configuration = makeConfiguration(MAFFT, "  --localpair   --maxiterate 1000 ");
  s.nearest.push_back(r);
  r.rank = 2;
  r.name = "BB2";
  r.configuration = makeConfiguration(KALIGN, "-gpo 10");
  s.nearest.push_back(r);
  FrontPick p;
  p.role = "fastest";
  p.configuration = makeConfiguration(KALIGN, "");
  s.front.push_back(p);

  const std::vector<Candidate> list = assembleCandidates(s);
  EXPECT_EQ(labels(list),
            (std::vector<std::string>{"CLUSTALW (defaults)", "DIALIGNTX (defaults)",
                                      "KALIGN (defaults)", "MAFFT (defaults)", "MUSCLE (defaults)",
                                      "MAFFT --localpair --maxiterate 1000",
                                      "MAFFT --globalpair --maxiterate 1000",
                                      "MAFFT --genafpair --maxiterate 1000", "KALIGN -gpo 10"}));
  for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].id, static_cast<int>(i) + 1);
  EXPECT_EQ(list[2].reasons, (std::vector<std::string>{"default", "front: fastest"}));
  EXPECT_EQ(list[5].reasons,
            (std::vector<std::string>{"consistency: L-INS-i", "nearest reference BB1 (rank 1)"}));
}

TEST(Candidates, FilterAlignersAndSkipTheBaselineOnLargeSets) {
  CandidateSources s;
  s.sequences = 201;
  s.aligners = {MUSCLE, MAFFT};
  FrontPick p;
  p.role = "most accurate";
  p.configuration = makeConfiguration(CLUSTALW, "-gapopen=5");
  s.front.push_back(p);
  EXPECT_EQ(labels(assembleCandidates(s)),
            (std::vector<std::string>{"MAFFT (defaults)", "MUSCLE (defaults)"}));
}

// MAFFT --auto goes first as candidate 1; what runs its strategy at this
// size is the same run and leaves the list, but not from 10,000 sequences
// on, where every other MAFFT run gets --parttree.
TEST(Candidates, MafftAutoFirstTakesInTheRunOfItsStrategy) {
  CandidateSources s;
  s.sequences = 10;
  s.aligners = {KALIGN, MAFFT};
  std::vector<Candidate> list = assembleCandidates(s);
  addMafftAutoAnchor(&list, 10, 300);
  EXPECT_EQ(labels(list), (std::vector<std::string>{"MAFFT --auto", "KALIGN (defaults)",
                                                    "MAFFT (defaults)",
                                                    "MAFFT --globalpair --maxiterate 1000",
                                                    "MAFFT --genafpair --maxiterate 1000"}));
  for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].id, static_cast<int>(i) + 1);
  EXPECT_EQ(list[0].reasons,
            (std::vector<std::string>{"MAFFT --auto, the one-line alternative (L-INS-i here)",
                                      "consistency: L-INS-i"}));
  // 1,000 sequences: FFT-NS-2, MAFFT's default.
  list = assembleCandidates({1000, {KALIGN, MAFFT}, {}, {}});
  addMafftAutoAnchor(&list, 1000, 300);
  EXPECT_EQ(list[0].reasons.size(), 2u);
  EXPECT_EQ(list[0].reasons[1], "default");
  for (const Candidate& c : list) EXPECT_NE(c.configuration.label(), "MAFFT (defaults)");
  list = assembleCandidates({10000, {KALIGN, MAFFT}, {}, {}});
  const size_t before = list.size();
  addMafftAutoAnchor(&list, 10000, 300);
  EXPECT_EQ(list.size(), before + 1);
  // Nucleotides: the mode's options come first, --auto itself is not repeated.
  list = {};
  Candidate linsi;
  linsi.configuration = makeConfiguration(MAFFT, "--nuc --localpair --maxiterate 1000");
  Candidate again;
  again.configuration = makeConfiguration(MAFFT, "--auto --nuc");
  list = {linsi, again};
  addMafftAutoAnchor(&list, 8, 200, "--nuc");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].configuration.options, "--nuc --auto");
}

TEST(MafftAuto, TheScriptsRuleBySizeAndLongestSequence) {
  EXPECT_STREQ(mafftAutoStrategy(99, 2999).name, "L-INS-i");
  EXPECT_STREQ(mafftAutoStrategy(99, 3000).name, "FFT-NS-i");
  EXPECT_STREQ(mafftAutoStrategy(100, 999).options, "--localpair --maxiterate 2");
  EXPECT_STREQ(mafftAutoStrategy(199, 1000).name, "FFT-NS-i");
  EXPECT_STREQ(mafftAutoStrategy(499, 9999).name, "FFT-NS-i");
  EXPECT_STREQ(mafftAutoStrategy(500, 100).name, "FFT-NS-2");
  EXPECT_STREQ(mafftAutoStrategy(20000, 100).options, "--memsavetree");
  EXPECT_STREQ(mafftAutoStrategy(200000, 100).options, "--parttree");
  // Threads may reorder an iterative refinement, never a progressive run.
  EXPECT_FALSE(threadsKeepAlignment(mafftAutoStrategy(99, 100)));
  EXPECT_FALSE(threadsKeepAlignment(mafftAutoStrategy(499, 100)));
  for (int n : {500, 20000, 200000}) EXPECT_TRUE(threadsKeepAlignment(mafftAutoStrategy(n, 100)));
  EXPECT_TRUE(isMafftAuto(makeConfiguration(MAFFT, "--nuc --auto")));
  EXPECT_FALSE(isMafftAuto(makeConfiguration(MAFFT, "--autox")));
  EXPECT_FALSE(isMafftAuto(makeConfiguration(KALIGN, "--auto")));
  EXPECT_TRUE(sameOptionWords("--maxiterate 2 --localpair", "--localpair  --maxiterate 2"));
  EXPECT_FALSE(sameOptionWords("--maxiterate 2", "--maxiterate 2 --op 1"));
  EXPECT_EQ(generalFamilyOfAuto("mafft-auto-fftnsi"), "mafft-iterative");
  EXPECT_EQ(generalFamilyOfAuto("mafft-iterative"), "");
}

class TableSelection : public ::testing::Test {
 protected:
  // The data set: 4 sequences of mean length 100.
  const double features[10] = {4, 100, 5, 0, 0, 10, 10, 20, 20, 40};
  void TearDown() override {
    OF = t_OF();
    FRONT = t_Front();
    noMAFFT = noKALIGN = noMUSCLE = 0;
  }
  TempDir dir;
  std::vector<std::string> warnings;
};

TEST_F(TableSelection, RanksNearestReferencesAndKeepsTheirRawFeatures) {
  // Group A (count and lengths) picks "near"; group C (residue groups) picks
  // "odd", whose aligner kind 12 is skipped with a warning.
  writeFile(dir.file("table"),
            "far;400;900;50;0;0;1;1;1;1;1;1;--far\n"
            "near;5;110;5;0;0;1;1;1;1;1;3;--localpair\n"
            "odd;400;900;50;0;0;10;10;20;20;40;12;x\n");
  std::vector<NearestReference> nearest;
  selectFromTable(features, dir.file("table"), &nearest, &warnings);
  ASSERT_EQ(nearest.size(), 1u);
  EXPECT_EQ(nearest[0].name, "near");
  EXPECT_EQ(nearest[0].rank, 2);
  EXPECT_EQ(nearest[0].features[1], 110);  // raw, not normalised
  EXPECT_EQ(nearest[0].configuration.label(), "MAFFT --localpair");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("'odd': aligner kind 12 is not 0-8"), std::string::npos) << warnings[0];
}

TEST_F(TableSelection, EmptyTableAndFrontGiveNothing) {
  writeFile(dir.file("empty"), "");
  std::vector<NearestReference> nearest;
  selectFromTable(features, dir.file("empty"), &nearest, &warnings);
  EXPECT_TRUE(nearest.empty());
  std::vector<FrontPick> picks;
  selectFromFront(dir.file("empty"), kAll, &picks, &warnings);
  EXPECT_TRUE(picks.empty());
  EXPECT_TRUE(warnings.empty());
  selectFromFront(dir.file("missing"), kAll, &picks, &warnings);
  EXPECT_EQ(warnings.size(), 1u);
}

TEST_F(TableSelection, FrontPicksBestEntriesOfAllowedAligners) {
  writeFile(dir.file("front"),
            "0.3;0.5;2.0;3;--op 1.0\n"
            "0.1;0.6;9.0;1;\n"
            "0.2;0.2;5.0;0;-gapopen=8\n"
            "0.4;0.9;0.1;4;\n");
  std::vector<FrontPick> picks;
  selectFromFront(dir.file("front"), kAll, &picks, &warnings);
  ASSERT_EQ(picks.size(), 3u);
  EXPECT_EQ(picks[0].configuration.label(), "DIALIGNTX (defaults)");  // most accurate
  EXPECT_EQ(picks[1].configuration.label(), "CLUSTALW -gapopen=8");   // best Q + TC
  EXPECT_EQ(picks[2].configuration.label(), "MUSCLE (defaults)");     // fastest, at index n
  // The whole front for the report's plot, the entry held only as a pick too.
  std::vector<FrontPick> entries;
  listFrontEntries(kAll, picks, &entries);
  std::vector<std::string> seen;
  for (const FrontPick& e : entries) seen.push_back(e.configuration.label());
  EXPECT_EQ(seen, (std::vector<std::string>{"MAFFT --op 1.0", "DIALIGNTX (defaults)",
                                            "CLUSTALW -gapopen=8", "MUSCLE (defaults)"}));
  EXPECT_EQ(entries[0].objectives[2], 2.0);
  selectFromFront(dir.file("front"), {MAFFT, KALIGN}, &picks, &warnings);
  ASSERT_EQ(picks.size(), 1u);
  EXPECT_EQ(picks[0].configuration.label(), "MAFFT --op 1.0");
  listFrontEntries({MAFFT, KALIGN}, picks, &entries);
  EXPECT_EQ(entries.size(), 1u);
}

}  // namespace
}  // namespace advice
