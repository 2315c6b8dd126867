#include "agreement_scores.h"

#include <algorithm>

#include "agreement.h"

namespace alnadvise {

void scoreAgreement(const std::vector<std::string>& names, std::vector<AgreementEntry>* entries) {
  std::vector<AgreementEntry>& e = *entries;
  std::vector<alnscore::Alignment> alignments(e.size());
  std::vector<bool> usable(e.size(), false);
  std::string error;
  for (size_t i = 0; i < e.size(); ++i) {
    usable[i] = e[i].rows != nullptr &&
                alnscore::alignmentFromRows(names, *e[i].rows, &alignments[i], &error);
  }
  for (size_t i = 0; i < e.size(); ++i) {
    AgreementEntry& c = e[i];
    c.hasAgreement = false;
    if (!usable[i]) continue;
    double sum = 0;
    int count = 0;
    for (size_t j = 0; j < e.size(); ++j) {
      const AgreementEntry& d = e[j];
      if (j == i || !usable[j] || d.isMerge) continue;
      if (std::find(c.mergeInputs.begin(), c.mergeInputs.end(), d.id) != c.mergeInputs.end())
        continue;
      double share = 0;
      if (!alnscore::agreementShare(alignments[i], alignments[j], &share, &error)) continue;
      sum += share;
      ++count;
    }
    if (count > 0) {
      c.hasAgreement = true;
      c.agreement = sum / count;
    }
  }
}

}  // namespace alnadvise
