// The agreement of each candidate alignment with the others, without a
// reference: the mean over the other candidates d of share(candidate, d)
// (alnscore's agreementShare). The merge is no independent opinion: it is
// left out of every other candidate's mean, and its own mean runs over the
// candidates that are not among its inputs. A candidate with nothing to
// compare with has no agreement.
#ifndef ALNADVISE_AGREEMENT_SCORES_H
#define ALNADVISE_AGREEMENT_SCORES_H

#include <string>
#include <vector>

namespace alnadvise {

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

}  // namespace alnadvise

#endif
