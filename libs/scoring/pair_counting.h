// Counts the residue pairs that a reference aligns and a test keeps.
#ifndef SCORING_PAIR_COUNTING_H
#define SCORING_PAIR_COUNTING_H

#include <cstdint>
#include <vector>

#include "scoring/sequence_matching.h"

namespace scoring {

struct PairCounts {
  uint64_t referencePairs = 0;  // counted residue pairs sharing a reference column
  uint64_t alignedPairs = 0;    // ... that also share a test column
  uint64_t scoredColumns = 0;   // reference columns with two or more counted residues
  uint64_t correctColumns = 0;  // ... whose counted residues all share one test column
};

// Which reference residues count: Q counts upper-case ones only (lower case
// marks unreliable regions in curated references); the agreement between two
// alignments counts every residue, whatever its case.
enum class ReferenceResidues { kUpperCase, kEvery };

// By default only upper-case reference residues count. The k-th residue of a reference
// row stands in the test column of the k-th residue of its test row; past
// the end of the test residues, or on a lower-case test residue (unless
// ignoreTestCase), it stands in no test column and pairs with nothing.
// One pass over the reference columns: time linear in the size of the
// rows, memory linear in the number of rows plus the test width.
PairCounts countPairs(const std::vector<MatchedRows>& rows, bool ignoreTestCase,
                      ReferenceResidues counted = ReferenceResidues::kUpperCase);

}  // namespace scoring

#endif
