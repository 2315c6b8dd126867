// The aligners by kind (CLUSTALW ... PROBALIGN of getChar.h): display names,
// the names a user may type, and the program each runs under bin/. Kinds 0-4
// are the five classic aligners, 5-8 those of other method families.
#ifndef RUNS_ALIGNER_NAMES_H
#define RUNS_ALIGNER_NAMES_H

#include <string>
#include <vector>

namespace runs {

const int kAlignerKinds = 9;
// Kinds below this are the five classic aligners.
const int kClassicAligners = 5;
// The pseudo-kind of the merged alignment in reports.
const int kMergeKind = -1;

// "CLUSTALW", "DIALIGNTX", "KALIGN", "MAFFT", "MUSCLE", "PROBCONS",
// "CLUSTALO", "MUSCLE5", "PROBALIGN"; "MERGE" for
// kMergeKind; "?" for anything else.
const char* alignerName(int kind);

// Accepts the display names and common spellings ("clustalw2", "dialign-tx",
// "muscle3.8", "clustal-omega", ...), case-insensitively; "muscle" is MUSCLE
// 3.8, "muscle5" MUSCLE 5. False for anything else.
bool parseAlignerName(const std::string& text, int* kind);

// A comma-separated list of names ("mafft,MUSCLE"); blanks around names are
// ignored. Fails on an unknown or empty name, naming it in *error.
bool parseAlignerList(const std::string& text, std::vector<int>* kinds, std::string* error);

// The program the runner calls for the kind, relative to the tools folder:
// "bin/clustalw2", "bin/dialign-tx", "bin/kalign2", "bin/mafft",
// "bin/muscle3.8", "bin/probcons", "bin/clustalo", "bin/muscle5",
// "bin/probalign"; the merge's "bin/t_coffee" for kMergeKind.
const char* alignerProgram(int kind);

}  // namespace runs

#endif
