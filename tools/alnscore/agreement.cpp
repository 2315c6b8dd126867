#include "agreement.h"

#include "pair_counting.h"
#include "sequence_matching.h"

namespace alnscore {

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

}  // namespace alnscore
