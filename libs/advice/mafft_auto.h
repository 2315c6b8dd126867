// MAFFT --auto, the user's one-line alternative to an advice. It picks its
// strategy from the number of sequences N and the longest sequence's length
// (the rule of the mafft script, 7.505):
//
//   longest < 3,000 and N < 100    L-INS-i      --localpair --maxiterate 1000
//   longest < 1,000 and N < 200    L-INS-i, 2   --localpair --maxiterate 2
//   longest < 10,000 and N < 500   FFT-NS-i     --maxiterate 2
//   N < 20,000                     FFT-NS-2     (MAFFT's default)
//   N < 200,000                    memory-saving guide tree   --memsavetree
//   beyond                         PartTree     --parttree
//
// The advisor runs `--auto` itself, first and protected (advisor.h), and
// treats a candidate of the equivalent options as the same run.
#ifndef ADVICE_MAFFT_AUTO_H
#define ADVICE_MAFFT_AUTO_H

#include <string>

#include "runs/configuration.h"

namespace advice {

extern const char kMafftAutoOption[];  // "--auto"

struct MafftAutoStrategy {
  const char* name;        // "L-INS-i", "FFT-NS-2", ...
  const char* options;     // options that run the same strategy
  const char* family;      // its cost family (cost_model.h)
  const char* autoFamily;  // --auto's own cost family at this size, timed apart
                           // ("mafft-auto-linsi", ...); family where it has none
};

// The strategy's family of an --auto family ("mafft-auto-linsi" ->
// "mafft-consistency"); "" for any other name.
std::string generalFamilyOfAuto(const std::string& autoFamily);

MafftAutoStrategy mafftAutoStrategy(int sequences, double longest);

// True for the progressive strategies (FFT-NS-2 and beyond), whose
// alignment is the same on any number of threads: only the distances are
// shared out. The iterative ones refine in threads and may differ from run
// to run (L-INS-i gave two alignments of one set on two threads).
bool threadsKeepAlignment(const MafftAutoStrategy& strategy);

// A MAFFT configuration holding the word --auto.
bool isMafftAuto(const runs::Configuration& configuration);

// True when the two option texts hold the same words, in any order.
bool sameOptionWords(const std::string& a, const std::string& b);

}  // namespace advice

#endif
