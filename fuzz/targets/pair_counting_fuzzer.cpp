// The scorer's sequence matching and pair counting. The input is a test
// alignment, a line starting with "%%" whose other letters switch options
// on (w -seqdiffwarn, m -ignoremissingseqs, c -ignoretestcase, t -truncname,
// e every reference residue counted, as the agreement counts them), and the
// reference alignment. The counts of the blocked one-pass counter
// must equal those of a plain count over each reference column.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "scoring/alignment.h"
#include "scoring/pair_counting.h"
#include "scoring/score.h"
#include "scoring/sequence_matching.h"

namespace {

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }

scoring::PairCounts model(const std::vector<scoring::MatchedRows>& rows, bool ignoreTestCase,
                          bool countEvery) {
  size_t width = 0;
  // Per row: the test column of each residue of the test row, and the
  // residue number of the reference row reached so far.
  std::vector<std::vector<long>> testColumns(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    width = std::max(width, rows[i].reference.size());
    for (size_t c = 0; c < rows[i].test.size(); ++c) {
      if (!scoring::isGap(rows[i].test[c])) testColumns[i].push_back(static_cast<long>(c));
    }
  }
  std::vector<size_t> residue(rows.size(), 0);
  scoring::PairCounts counts;
  for (size_t c = 0; c < width; ++c) {
    std::map<long, uint64_t> inTestColumn;
    uint64_t counted = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (c >= rows[i].reference.size() || scoring::isGap(rows[i].reference[c])) continue;
      const size_t k = residue[i]++;
      if (!countEvery && !isUpper(rows[i].reference[c])) continue;
      ++counted;
      const bool aligned = k < testColumns[i].size() &&
                           (ignoreTestCase || !isLower(rows[i].test[testColumns[i][k]]));
      if (aligned) ++inTestColumn[testColumns[i][k]];
    }
    if (counted < 2) continue;
    uint64_t pairs = 0;
    for (const auto& column : inTestColumn) pairs += column.second * (column.second - 1) / 2;
    counts.referencePairs += counted * (counted - 1) / 2;
    counts.alignedPairs += pairs;
    ++counts.scoredColumns;
    if (pairs == counted * (counted - 1) / 2) ++counts.correctColumns;
  }
  return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::text(data, size);
  // The test is the text before the "%%" line.
  size_t split = 0;
  if (text.substr(0, 2) != "%%") {
    split = text.find("\n%%");
    if (split == std::string_view::npos) return 0;
    ++split;
  }
  const size_t optionsFrom = split + 2;
  const size_t lineEnd = text.find('\n', optionsFrom);
  if (lineEnd == std::string_view::npos) return 0;
  const std::string_view letters = text.substr(optionsFrom, lineEnd - optionsFrom);

  scoring::ScoreOptions options;
  options.match.warnOnResidueDifferences = letters.find('w') != letters.npos;
  options.match.ignoreMissingSequences = letters.find('m') != letters.npos;
  options.ignoreTestCase = letters.find('c') != letters.npos;
  options.match.truncateNames = letters.find('t') != letters.npos;
  const bool countEvery = letters.find('e') != letters.npos;
  const scoring::ReferenceResidues counted =
      countEvery ? scoring::ReferenceResidues::kEvery : scoring::ReferenceResidues::kUpperCase;

  scoring::Alignment test, reference;
  std::string error;
  if (!scoring::parseAlignment(text.substr(0, split), &test, &error) ||
      !scoring::parseAlignment(text.substr(lineEnd + 1), &reference, &error)) {
    return 0;
  }
  std::vector<scoring::MatchedRows> rows;
  scoring::MatchSummary summary;
  if (!scoring::matchSequences(test, reference, options.match, &rows, &summary, &error)) return 0;

  const scoring::PairCounts counts = scoring::countPairs(rows, options.ignoreTestCase, counted);
  const scoring::PairCounts expected = model(rows, options.ignoreTestCase, countEvery);
  fuzz::check(counts.referencePairs == expected.referencePairs, "reference pairs");
  fuzz::check(counts.alignedPairs == expected.alignedPairs, "aligned pairs");
  fuzz::check(counts.scoredColumns == expected.scoredColumns, "scored columns");
  fuzz::check(counts.correctColumns == expected.correctColumns, "correct columns");

  if (countEvery) return 0;  // Q and TC count upper-case residues only
  scoring::Score score;
  if (scoring::scoreAlignments(test, reference, options, &score, &error)) {
    fuzz::check(score.q >= 0 && score.q <= 1 && score.tc >= 0 && score.tc <= 1, "Q or TC");
  } else {
    fuzz::check(expected.referencePairs == 0, "scoring failed with pairs to count");
  }
  return 0;
}
