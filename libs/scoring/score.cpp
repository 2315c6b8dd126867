#include "scoring/score.h"

#include <vector>

namespace scoring {

bool scoreAlignments(const Alignment& test, const Alignment& reference, const ScoreOptions& options,
                     Score* score, std::string* error) {
  *score = Score();
  std::vector<MatchedRows> rows;
  if (!matchSequences(test, reference, options.match, &rows, &score->match, error)) return false;
  score->scoredSequences = rows.size();
  score->counts = countPairs(rows, options.ignoreTestCase);
  if (score->counts.referencePairs == 0) {
    *error = "no two upper-case reference residues share a column; Q and TC are undefined";
    return false;
  }
  score->q = static_cast<double>(score->counts.alignedPairs) /
             static_cast<double>(score->counts.referencePairs);
  score->tc = static_cast<double>(score->counts.correctColumns) /
              static_cast<double>(score->counts.scoredColumns);
  return true;
}

}  // namespace scoring
