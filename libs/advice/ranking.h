// Ordering the results of one advice: scored alignments first by the
// library's compareMyType (Q + TC, or agreement; faster first on equal
// scores), then valid alignments without a score (faster first), then the
// runs that produced none, in id order.
#ifndef ADVICE_RANKING_H
#define ADVICE_RANKING_H

#include <cstddef>
#include <vector>

#include "advice/advice.h"

namespace advice {

struct RankInput {
  bool valid = false;     // an alignment was produced and checked
  bool hasScore = false;  // Q and TC (reference mode) or agreement known
  double scoreA = 0;      // Q, or agreement
  double scoreB = 0;      // TC, or 0
  double seconds = 0;
};

// Indices into results, best first. Ties in everything keep input order.
std::vector<size_t> rankResults(const std::vector<RankInput>& results);

// The same over an advice's results: by Q and TC with a reference
// (byReference), else by agreement.
std::vector<size_t> rankCandidates(const std::vector<CandidateResult>& results, bool byReference);

}  // namespace advice

#endif
