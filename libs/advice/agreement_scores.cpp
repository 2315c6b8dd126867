#include "advice/agreement_scores.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "runs/aligner_names.h"
#include "runs/data_set.h"
#include "scoring/agreement.h"

namespace advice {

namespace {

std::vector<std::string> safeNames(size_t records) {
  std::vector<std::string> names;
  for (size_t i = 0; i < records; ++i) names.push_back(runs::safeName(i));
  return names;
}

void meanShares(const ShareMatrix& share, std::vector<AgreementEntry>* entries) {
  std::vector<AgreementEntry>& e = *entries;
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

}  // namespace

void scoreAgreement(const std::vector<std::string>& names, std::vector<AgreementEntry>* entries) {
  std::vector<const std::vector<std::string>*> rows;
  for (const AgreementEntry& entry : *entries) rows.push_back(entry.rows);
  meanShares(scoring::agreementMatrix(names, rows), entries);
}

void extendShares(const std::vector<const std::vector<std::string>*>& rows, ShareMatrix* shares) {
  size_t records = 0;
  for (const std::vector<std::string>* r : rows)
    if (r) records = r->size();
  scoring::extendAgreementMatrix(safeNames(records), rows, shares);
}

void scoreAgreement(std::vector<CandidateResult>* results, const ShareMatrix& shares) {
  std::vector<CandidateResult>& r = *results;
  std::vector<AgreementEntry> entries(r.size());
  for (size_t i = 0; i < r.size(); ++i) {
    entries[i].rows = r[i].valid ? &r[i].rows : nullptr;
    entries[i].id = r[i].candidate.id;
    entries[i].isMerge = r[i].candidate.configuration.kind == runs::kMergeKind;
    entries[i].mergeInputs = r[i].mergeInputs;
  }
  meanShares(shares, &entries);
  for (size_t i = 0; i < r.size(); ++i) {
    r[i].hasAgreement = entries[i].hasAgreement;
    r[i].agreement = entries[i].agreement;
  }
}

void scoreConsensus(std::vector<CandidateResult>* results, const ShareMatrix& shares) {
  std::vector<CandidateResult>& r = *results;
  auto kind = [&](size_t j) { return r[j].candidate.configuration.kind; };
  auto votes = [&](size_t j) { return r[j].valid && kind(j) != runs::kMergeKind; };
  for (size_t i = 0; i < r.size(); ++i) {
    r[i].hasPredicted = false;
    if (!votes(i)) continue;
    bool otherKind = false;
    for (size_t j = 0; j < r.size(); ++j) otherKind = otherKind || (votes(j) && kind(j) != kind(i));
    // Per aligner: the sum and count of share(j, i), of j's pairs the share i aligns.
    std::map<int, std::pair<double, int>> byKind;
    for (size_t j = 0; j < r.size(); ++j) {
      if (j == i || !votes(j) || std::isnan(shares[j][i]) || (otherKind && kind(j) == kind(i)))
        continue;
      byKind[kind(j)].first += shares[j][i];
      ++byKind[kind(j)].second;
    }
    if (byKind.empty()) continue;
    double sum = 0;
    for (const auto& [k, s] : byKind) sum += s.first / s.second;
    r[i].hasPredicted = true;
    r[i].predicted = sum / static_cast<double>(byKind.size());
  }
}

void scoreAgreement(std::vector<CandidateResult>* results) {
  std::vector<const std::vector<std::string>*> rows;
  for (const CandidateResult& r : *results) rows.push_back(r.valid ? &r.rows : nullptr);
  ShareMatrix shares;
  extendShares(rows, &shares);
  scoreAgreement(results, shares);
}

}  // namespace advice

namespace advice {

void predictQuality(const ChoiceModel& model, std::vector<CandidateResult>* results,
                    const ShareMatrix& shares) {
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
  ShareMatrix mine(scored.size(), std::vector<double>(scored.size()));
  for (size_t a = 0; a < scored.size(); ++a)
    for (size_t b = 0; b < scored.size(); ++b) mine[a][b] = shares[scored[a]][scored[b]];
  std::vector<FeatureVector> features;
  if (!candidateFeatures(rows, kinds, mine, &features)) return;
  const std::vector<double> predicted = predictQ(model, features);
  for (size_t k = 0; k < scored.size(); ++k) {
    (*results)[scored[k]].hasPredicted = true;
    (*results)[scored[k]].predicted = predicted[k];
  }
}

void predictQuality(const ChoiceModel& model, std::vector<CandidateResult>* results) {
  std::vector<const std::vector<std::string>*> rows;
  for (const CandidateResult& r : *results) rows.push_back(r.valid ? &r.rows : nullptr);
  ShareMatrix shares;
  extendShares(rows, &shares);
  predictQuality(model, results, shares);
}

}  // namespace advice
