// Each aligner's nucleotide mode: the options that tell it the data set is
// DNA or RNA, and why an aligner without one is not run on nucleotides.
// Checked against the programs laid out by scripts/install-aligners.
#ifndef RUNS_NUCLEOTIDE_MODES_H
#define RUNS_NUCLEOTIDE_MODES_H

#include <string>

#include "runs/alphabet.h"

namespace runs {

// The options for the aligner kind on a nucleotide alphabet ("--nuc",
// "-TYPE=DNA", ...): true with *options set, or false with *whyNot saying
// why the aligner has no nucleotide mode. Protein needs no options, nor do
// Kalign 3 and MUSCLE 5, which detect nucleotides themselves.
bool nucleotideOptions(int kind, Alphabet alphabet, std::string* options, std::string* whyNot);

// t_coffee's sequence type for the merge: "-type=dna", "-type=rna", or ""
// for protein (its default detection).
std::string mergeTypeOption(Alphabet alphabet);

}  // namespace runs

#endif
