#include "scoring/agreement.h"

#include <algorithm>
#include <limits>

#include "scoring/pair_counting.h"
#include "scoring/sequence_matching.h"

namespace scoring {

bool agreementShare(const Alignment& x, const Alignment& y, double* share, std::string* error) {
  if (x.sequences.size() != y.sequences.size()) {
    *error = "the alignments hold " + std::to_string(x.sequences.size()) + " and " +
             std::to_string(y.sequences.size()) + " sequences";
    return false;
  }
  std::vector<MatchedRows> rows;
  MatchSummary summary;
  // x plays the reference: its pairs are the ones counted.
  if (!matchSequences(y, x, MatchOptions(), &rows, &summary, error)) return false;
  const PairCounts counts = countPairs(rows, /*ignoreTestCase=*/true, ReferenceResidues::kEvery);
  if (counts.referencePairs == 0) {
    *error = "the first alignment aligns no residue pair; the agreement is undefined";
    return false;
  }
  *share = static_cast<double>(counts.alignedPairs) / static_cast<double>(counts.referencePairs);
  return true;
}

bool alignmentFromRows(const std::vector<std::string>& names, const std::vector<std::string>& rows,
                       Alignment* out, std::string* error) {
  out->sequences.clear();
  out->text.clear();
  if (names.size() != rows.size() || rows.empty()) {
    *error = "no rows, or not one name per row";
    return false;
  }
  size_t total = 0;
  for (const std::string& r : rows) total += r.size();
  out->text.reserve(total);
  for (const std::string& r : rows) {
    if (r.size() != rows[0].size()) {
      *error = "rows differ in length";
      return false;
    }
    out->text.insert(out->text.end(), r.begin(), r.end());
  }
  size_t offset = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    out->sequences.push_back(
        {names[i], std::string_view(out->text.data() + offset, rows[i].size())});
    offset += rows[i].size();
  }
  return true;
}

void extendAgreementMatrix(const std::vector<std::string>& names,
                           const std::vector<const std::vector<std::string>*>& rows,
                           std::vector<std::vector<double>>* shares) {
  const size_t n = rows.size(), known = std::min(shares->size(), n);
  const double undefined = std::numeric_limits<double>::quiet_NaN();
  shares->resize(n);
  for (std::vector<double>& row : *shares) row.resize(n, undefined);
  if (known == n) return;
  std::vector<Alignment> alignments(n);
  std::vector<bool> usable(n, false);
  std::string error;
  for (size_t i = 0; i < n; ++i)
    usable[i] = rows[i] != nullptr && alignmentFromRows(names, *rows[i], &alignments[i], &error);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) {
      double share = 0;
      if (i < known && j < known) continue;
      (*shares)[i][j] = undefined;
      if (i != j && usable[i] && usable[j] &&
          agreementShare(alignments[i], alignments[j], &share, &error))
        (*shares)[i][j] = share;
    }
  }
}

std::vector<std::vector<double>> agreementMatrix(
    const std::vector<std::string>& names,
    const std::vector<const std::vector<std::string>*>& rows) {
  std::vector<std::vector<double>> shares;
  extendAgreementMatrix(names, rows, &shares);
  return shares;
}

}  // namespace scoring
