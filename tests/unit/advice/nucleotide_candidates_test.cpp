// The candidates of a nucleotide data set: each aligner's nucleotide
// options, the aligners without a mode and why, MAFFT's strategies by size.
#include "advice/nucleotide_candidates.h"

#include <gtest/gtest.h>

#include "getChar.h"
#include "runs/aligner_names.h"
#include "runs/nucleotide_modes.h"

namespace advice {
namespace {

using runs::Alphabet;

const std::vector<int> kEvery = {0, 1, 2, 3, 4, 5, 6, 7, 8};

std::vector<std::string> labels(const std::vector<Candidate>& list) {
  std::vector<std::string> out;
  for (const Candidate& c : list) out.push_back(c.configuration.label());
  return out;
}

TEST(NucleotideCandidates, EachCapableAlignersDefaultThenMafftStrategies) {
  const NucleotideProposal dna = proposeNucleotideCandidates(40, kEvery, Alphabet::kDna);
  EXPECT_EQ(labels(dna.candidates),
            (std::vector<std::string>{
                "CLUSTALW -TYPE=DNA", "DIALIGNTX -D", "KALIGN (defaults)", "MAFFT --nuc",
                "MUSCLE -seqtype dna", "CLUSTALO --seqtype=DNA", "MUSCLE5 (defaults)", "PROBALIGN -nuc",
                "MAFFT --nuc --localpair --maxiterate 1000",
                "MAFFT --nuc --globalpair --maxiterate 1000",
                "MAFFT --nuc --genafpair --maxiterate 1000", "MAFFT --nuc --maxiterate 1000"}));
  EXPECT_EQ(dna.candidates[0].reasons, (std::vector<std::string>{"default, dna mode"}));
  EXPECT_EQ(dna.candidates[6].reasons,
            (std::vector<std::string>{"default, dna mode (the aligner detects it)"}));
  ASSERT_EQ(dna.leftOut.size(), 1u);
  EXPECT_EQ(dna.leftOut[0].candidate.configuration.kind, PROBCONS);
  EXPECT_EQ(dna.leftOut[0].candidate.id, 13);  // after the candidates: ids stay unique
  EXPECT_EQ(dna.leftOut[0].why,
            "left out (ProbCons has protein parameters only, no nucleotide mode)");

  const NucleotideProposal rna = proposeNucleotideCandidates(40, kEvery, Alphabet::kRna);
  EXPECT_EQ(labels(rna.candidates)[0], "CLUSTALW -TYPE=DNA");  // ClustalW has no RNA type
  EXPECT_EQ(labels(rna.candidates)[4], "MUSCLE -seqtype rna");
  EXPECT_EQ(labels(rna.candidates)[5], "CLUSTALO --seqtype=RNA");
  EXPECT_EQ(runs::mergeTypeOption(Alphabet::kRna), "-type=rna");
  EXPECT_EQ(runs::mergeTypeOption(Alphabet::kProtein), "");
}

TEST(NucleotideCandidates, SizeAndTheAlignerFilter) {
  // The consistency strategies stop above 200 sequences, the iterative one
  // below the large-input size, where the fast ones start.
  EXPECT_EQ(labels(proposeNucleotideCandidates(300, {MAFFT}, Alphabet::kDna).candidates),
            (std::vector<std::string>{"MAFFT --nuc", "MAFFT --nuc --maxiterate 1000"}));
  EXPECT_EQ(labels(proposeNucleotideCandidates(kLargeInputSequences, {MAFFT}, Alphabet::kDna)
                       .candidates),
            (std::vector<std::string>{"MAFFT --nuc", "MAFFT --nuc --retree 1",
                                      "MAFFT --nuc --parttree"}));
  // Without MAFFT no MAFFT strategy; an aligner not allowed is not even left out.
  const NucleotideProposal p =
      proposeNucleotideCandidates(10, {KALIGN, MUSCLE}, Alphabet::kDna);
  EXPECT_EQ(labels(p.candidates),
            (std::vector<std::string>{"KALIGN (defaults)", "MUSCLE -seqtype dna"}));
  EXPECT_TRUE(p.leftOut.empty());
  // Protein needs no options from any aligner.
  std::string options = "stale", why;
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    EXPECT_TRUE(runs::nucleotideOptions(kind, Alphabet::kProtein, &options, &why));
    EXPECT_EQ(options, "");
  }
}

}  // namespace
}  // namespace advice
