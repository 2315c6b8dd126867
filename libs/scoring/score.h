// Scores a test alignment against a reference alignment of the same
// sequences: Q, the fraction of reference residue pairs the test keeps,
// and TC, the fraction of reference columns the test keeps whole.
#ifndef SCORING_SCORE_H
#define SCORING_SCORE_H

#include <string>

#include "scoring/alignment.h"
#include "scoring/pair_counting.h"
#include "scoring/sequence_matching.h"

namespace scoring {

struct ScoreOptions {
  MatchOptions match;
  bool ignoreTestCase = false;  // read lower-case test residues as aligned
};

struct Score {
  double q = 0;
  double tc = 0;
  PairCounts counts;
  size_t scoredSequences = 0;
  MatchSummary match;
};

// Fails (with *error set) when the sequences cannot be matched, and when
// no two counted reference residues share a column: Q and TC are then
// undefined, and a number would pass for a verdict on the test.
bool scoreAlignments(const Alignment& test, const Alignment& reference, const ScoreOptions& options,
                     Score* score, std::string* error);

}  // namespace scoring

#endif
