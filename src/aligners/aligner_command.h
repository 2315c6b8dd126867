// The shell command that runs one aligner. Nothing is quoted: paths and
// options go to the shell as they are, so options may carry shell syntax and a
// path with a blank in it splits into two words.
#ifndef GETCHAR_ALIGNERS_ALIGNER_COMMAND_H
#define GETCHAR_ALIGNERS_ALIGNER_COMMAND_H

#include <string>

// Settings for large inputs switch on from these sequence counts.
const int kMafftPartTreeFrom = 10000;
const int kMuscleFewIterationsFrom = 3000;

// The command for the aligner kind (CLUSTALW ... PROBALIGN) reading inputFile
// and leaving its alignment in out; the empty string for any other kind.
// nSequences picks the large-input settings of MAFFT and MUSCLE.
std::string alignerCommand(int alignerKind, const std::string& inputFile, const std::string& out,
                           const std::string& options, int nSequences);

// True when MUSCLE 5's options ask for an ensemble (-stratified or
// -diversified), which it writes as <out>.efa before one alignment is taken.
bool isMuscle5Ensemble(const std::string& options);

// The command that merges the alignments of indices 1, 2 and 3 into index 4;
// options (t_coffee's -type=dna, ...) go at its end.
std::string mergeCommand(const std::string& options = "");

#endif  // GETCHAR_ALIGNERS_ALIGNER_COMMAND_H
