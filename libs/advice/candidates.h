// Assembling the candidate configurations of one data set, each with the
// reasons it is there: the aligners' defaults, MAFFT's consistency
// strategies (small data sets), fast strategies (large ones), the nearest references of the table and the front's
// best entries. The same configuration from several sources runs once.
#ifndef ADVICE_CANDIDATES_H
#define ADVICE_CANDIDATES_H

#include <string>
#include <vector>

#include "runs/configuration.h"

namespace advice {

struct Candidate {
  int id = 0;  // 1, 2, ... in assembly order
  runs::Configuration configuration;
  std::vector<std::string> reasons;
};

// A reference row chosen for the data set, with its raw features.
struct NearestReference {
  int rank = 0;  // 1..3
  std::string name;
  double features[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  runs::Configuration configuration;
  double distance = 0;  // over the feature group that picked it, normalised
};

struct FrontPick {
  std::string role;  // "most accurate", "best Q + TC", "fastest"
  double objectives[3] = {0, 0, 0};
  runs::Configuration configuration;
};

// A strong configuration added for every data set up to a size.
struct BaselineConfiguration {
  int kind;
  const char* options;
  const char* reason;
  int maxSequences;  // added when the data set has at most this many (large
                     // input: at least)
};

// MAFFT's consistency strategies, up to the size where MAFFT's own --auto
// still picks them.
extern const std::vector<BaselineConfiguration> kStrongBaseline;

// Other methods' fast strategies for data sets of at least
// kLargeInputSequences records, where the consistency strategies no longer
// run (MAFFT's own is --auto's FFT-NS-2).
const int kLargeInputSequences = 500;
// From this many on, what keeps a full distance matrix is left out
// (cost_model.h's quadraticMemory) and MAFFT's memory-saving guide tree,
// which --auto takes there, comes in.
const int kHugeInputSequences = 20000;
extern const std::vector<BaselineConfiguration> kLargeInputBaseline;

struct CandidateSources {
  int sequences = 0;          // of the data set
  std::vector<int> aligners;  // kinds allowed (--aligners)
  std::vector<NearestReference> nearest;
  std::vector<FrontPick> front;
};

// Order: the defaults (kind order), the strong baseline, the large-input
// strategies, the nearest
// references by rank, the front picks. Configurations of aligners not
// allowed are left out; a repeated configuration adds its reason to the
// first one's.
std::vector<Candidate> assembleCandidates(const CandidateSources& sources);

// Puts MAFFT --auto (after modeOptions, "--nuc" for nucleotides) first, as
// candidate 1: the user's alternative, compared with on every data set. A
// candidate that runs the strategy --auto picks at this size (mafft_auto.h)
// is the same run: its reasons go to --auto's and it leaves the list. Ids
// are numbered 1, 2, ... again.
void addMafftAutoAnchor(std::vector<Candidate>* list, int sequences, double longest,
                        const std::string& modeOptions = "");

}  // namespace advice

#endif
