// Ordering the results of one advice: scored alignments first by the
// library's compareMyType (Q + TC, agreement or predicted Q; faster first on equal
// scores), then valid alignments without a score (faster first), then the
// runs that produced none, in id order. An advice's results are faster by
// their expected seconds, not the clock's: the order must not depend on
// what else the machine was doing.
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
  double seconds = 0;  // lower first on equal scores
};

// Indices into results, best first. Ties in everything keep input order.
std::vector<size_t> rankResults(const std::vector<RankInput>& results);

enum class RankBy { kReference, kAgreement, kPredicted };

// The same over an advice's results: by Q and TC against the reference,
// by agreement, or by the learnt estimator's predicted Q (the merge has none:
// the model never saw one, so it follows the scored candidates).
std::vector<size_t> rankCandidates(const std::vector<CandidateResult>& results, RankBy by);

}  // namespace advice

#endif
