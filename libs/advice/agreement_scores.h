// The agreement of each candidate alignment with the others, without a
// reference: the mean over the other candidates d of share(candidate, d)
// (scoring's agreementShare). The merge is no independent opinion: it is
// left out of every other candidate's mean, and its own mean runs over the
// candidates that are not among its inputs. A candidate with nothing to
// compare with has no agreement.
#ifndef ADVICE_AGREEMENT_SCORES_H
#define ADVICE_AGREEMENT_SCORES_H

#include <string>
#include <vector>

#include "advice/advice.h"
#include "advice/choice_model.h"

namespace advice {

struct AgreementEntry {
  const std::vector<std::string>* rows = nullptr;  // null: no valid alignment
  int id = 0;
  bool isMerge = false;
  std::vector<int> mergeInputs;  // ids, for the merge
  // Filled by scoreAgreement:
  bool hasAgreement = false;
  double agreement = 0;
};

// names[i] names row i of every alignment.
void scoreAgreement(const std::vector<std::string>& names, std::vector<AgreementEntry>* entries);

// The same for an advice's results (rows under the safe names s1..sN): sets
// hasAgreement and agreement of each; the merge is told apart by its kind.
void scoreAgreement(std::vector<CandidateResult>* results);

// Share matrices of an advice's alignments (scoring::agreementMatrix over
// the results, each given as rows, null for none), grown as results come:
// the pairs are computed once per advice, however often it is scored.
using ShareMatrix = std::vector<std::vector<double>>;
void extendShares(const std::vector<const std::vector<std::string>*>& rows, ShareMatrix* shares);

// scoreAgreement and predictQuality over the shares of all results.
void scoreAgreement(std::vector<CandidateResult>* results, const ShareMatrix& shares);
void predictQuality(const ChoiceModel& model, std::vector<CandidateResult>* results,
                    const ShareMatrix& shares);

// The consensus estimate of each valid candidate's Q that is not the
// merge: its Q as if each other aligner's alignment were the reference,
// the mean over the other aligners (kinds) of the mean share of their
// candidates' aligned pairs that it aligns too, so that five MAFFT variants
// are one vote. When every candidate is of one aligner: the mean over the
// others. Set as the predicted Q; a candidate with no other candidate to
// compare with, and the merge (no independent opinion), get none.
void scoreConsensus(std::vector<CandidateResult>* results, const ShareMatrix& shares);

// The learnt estimator's predicted Q (choice_model.h) of each valid
// candidate that is not the merge, from their features beside each other
// (rows under the safe names s1..sN). Fewer than two such candidates: none
// gets a prediction.
void predictQuality(const ChoiceModel& model, std::vector<CandidateResult>* results);

}  // namespace advice

#endif
