#include "advice/ranking.h"

#include <algorithm>

#include "getChar.h"

namespace advice {

namespace {
int group(const RankInput& r) { return r.valid ? (r.hasScore ? 0 : 1) : 2; }
}  // namespace

std::vector<size_t> rankResults(const std::vector<RankInput>& results) {
  // compareMyType takes t_Alignments records; they hold strings, so they are
  // compared in place and only indices move (qsort would copy them bytewise).
  std::vector<t_Alignments> records(results.size());
  for (size_t i = 0; i < results.size(); ++i) {
    const RankInput& r = results[i];
    const bool scored = group(r) == 0;
    records[i].valueA = scored ? r.scoreA : 0;
    records[i].valueB = scored ? r.scoreB : 0;
    records[i].valueC = -r.seconds;
  }
  std::vector<size_t> order(results.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int ga = group(results[a]), gb = group(results[b]);
    if (ga != gb) return ga < gb;
    if (ga == 2) return false;  // id order
    return compareMyType(&records[a], &records[b]) < 0;
  });
  return order;
}

std::vector<size_t> rankCandidates(const std::vector<CandidateResult>& results, RankBy by) {
  std::vector<RankInput> inputs;
  for (const CandidateResult& r : results) {
    RankInput in;
    in.valid = r.valid;
    switch (by) {
      case RankBy::kReference:
        in.hasScore = r.hasQ;
        in.scoreA = r.q;
        in.scoreB = r.tc;
        break;
      case RankBy::kAgreement:
        in.hasScore = r.hasAgreement;
        in.scoreA = r.agreement;
        break;
      case RankBy::kPredicted:
        in.hasScore = r.hasPredicted;
        in.scoreA = r.predicted;
        break;
    }
    in.seconds = r.expectedSeconds;
    inputs.push_back(in);
  }
  return rankResults(inputs);
}

}  // namespace advice
