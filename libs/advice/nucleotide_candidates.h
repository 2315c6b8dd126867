// The candidates of a DNA or RNA data set. The reference table, the front
// and the learnt estimator were trained on protein families, so none of
// them chooses here: each allowed aligner runs its default in its
// nucleotide mode, MAFFT adds a few strategies in nucleotide mode, and the
// ranking is by agreement (or Q and TC against a reference).
#ifndef ADVICE_NUCLEOTIDE_CANDIDATES_H
#define ADVICE_NUCLEOTIDE_CANDIDATES_H

#include <string>
#include <vector>

#include "advice/candidates.h"
#include "runs/alphabet.h"

namespace advice {

// MAFFT's strategies in nucleotide mode: the consistency ones up to
// kStrongBaseline's size, the iterative one below kLargeInputSequences
// (maxSequences: at most), the fast ones from it on (at least).
extern const std::vector<BaselineConfiguration> kNucleotideSmallInput;
extern const std::vector<BaselineConfiguration> kNucleotideLargeInput;

// An allowed aligner with no nucleotide mode: not run, and why.
struct NoNucleotideMode {
  Candidate candidate;  // its default configuration
  std::string why;      // "left out (...)", a status as the budget's
};

struct NucleotideProposal {
  std::vector<Candidate> candidates;
  std::vector<NoNucleotideMode> leftOut;  // ids follow the candidates'
};

// In kind order the defaults (with the nucleotide options of
// runs/nucleotide_modes.h), then MAFFT's strategies by size. Aligners not
// in `aligners` are not proposed at all.
NucleotideProposal proposeNucleotideCandidates(int sequences, const std::vector<int>& aligners,
                                               runs::Alphabet alphabet);

}  // namespace advice

#endif
