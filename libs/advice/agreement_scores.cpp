#include "advice/agreement_scores.h"

#include <algorithm>
#include <cmath>

#include "runs/aligner_names.h"
#include "runs/data_set.h"
#include "scoring/agreement.h"

namespace advice {

void scoreAgreement(const std::vector<std::string>& names, std::vector<AgreementEntry>* entries) {
  std::vector<AgreementEntry>& e = *entries;
  std::vector<const std::vector<std::string>*> rows;
  for (const AgreementEntry& entry : e) rows.push_back(entry.rows);
  const std::vector<std::vector<double>> share = scoring::agreementMatrix(names, rows);
  for (size_t i = 0; i < e.size(); ++i) {
    AgreementEntry& c = e[i];
    c.hasAgreement = false;
    double sum = 0;
    int count = 0;
    for (size_t j = 0; j < e.size(); ++j) {
      const AgreementEntry& d = e[j];
      if (std::isnan(share[i][j]) || d.isMerge) continue;
      if (std::find(c.mergeInputs.begin(), c.mergeInputs.end(), d.id) != c.mergeInputs.end())
        continue;
      sum += share[i][j];
      ++count;
    }
    if (count > 0) {
      c.hasAgreement = true;
      c.agreement = sum / count;
    }
  }
}

void scoreAgreement(std::vector<CandidateResult>* results) {
  std::vector<CandidateResult>& r = *results;
  size_t records = 0;
  std::vector<AgreementEntry> entries(r.size());
  for (size_t i = 0; i < r.size(); ++i) {
    entries[i].rows = r[i].valid ? &r[i].rows : nullptr;
    entries[i].id = r[i].candidate.id;
    entries[i].isMerge = r[i].candidate.configuration.kind == runs::kMergeKind;
    entries[i].mergeInputs = r[i].mergeInputs;
    if (r[i].valid) records = r[i].rows.size();
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < records; ++i) names.push_back(runs::safeName(i));
  scoreAgreement(names, &entries);
  for (size_t i = 0; i < r.size(); ++i) {
    r[i].hasAgreement = entries[i].hasAgreement;
    r[i].agreement = entries[i].agreement;
  }
}

}  // namespace advice

namespace advice {

void predictQuality(const ChoiceModel& model, std::vector<CandidateResult>* results) {
  std::vector<size_t> scored;
  std::vector<const std::vector<std::string>*> rows;
  std::vector<int> kinds;
  for (size_t i = 0; i < results->size(); ++i) {
    CandidateResult& r = (*results)[i];
    r.hasPredicted = false;
    if (!r.valid || r.candidate.configuration.kind == runs::kMergeKind) continue;
    scored.push_back(i);
    rows.push_back(&r.rows);
    kinds.push_back(r.candidate.configuration.kind);
  }
  if (scored.size() < 2) return;
  std::vector<std::string> names;
  for (size_t i = 0; i < rows[0]->size(); ++i) names.push_back(runs::safeName(i));
  std::vector<FeatureVector> features;
  if (!candidateFeatures(names, rows, kinds, &features)) return;
  const std::vector<double> predicted = predictQ(model, features);
  for (size_t k = 0; k < scored.size(); ++k) {
    (*results)[scored[k]].hasPredicted = true;
    (*results)[scored[k]].predicted = predicted[k];
  }
}

}  // namespace advice
