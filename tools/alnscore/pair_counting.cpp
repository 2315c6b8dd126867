#include "pair_counting.h"

#include <algorithm>

namespace alnscore {

namespace {

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
uint64_t pairsAmong(uint64_t m) { return m * (m - 1) / 2; }

}  // namespace

PairCounts countPairs(const std::vector<MatchedRows>& rows, bool ignoreTestCase) {
  PairCounts counts;
  if (rows.empty()) return counts;

  size_t referenceWidth = 0, testWidth = 0;
  for (const MatchedRows& r : rows) {
    referenceWidth = std::max(referenceWidth, r.reference->size());
    testWidth = std::max(testWidth, r.test->size());
  }

  // Per row: where to look for its next test residue.
  std::vector<size_t> testCursor(rows.size(), 0);
  // Per test column: counted residues of the current reference column in it.
  std::vector<uint32_t> inTestColumn(testWidth, 0);
  std::vector<size_t> touched;
  touched.reserve(rows.size());

  for (size_t column = 0; column < referenceWidth; ++column) {
    uint64_t counted = 0, columnPairs = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::string& ref = *rows[i].reference;
      if (column >= ref.size() || isGap(ref[column])) continue;

      const std::string& test = *rows[i].test;
      size_t& cursor = testCursor[i];
      while (cursor < test.size() && isGap(test[cursor])) ++cursor;
      const bool hasTestResidue = cursor < test.size();
      const size_t testColumn = cursor;
      const bool aligned = hasTestResidue && (ignoreTestCase || !isLower(test[testColumn]));
      if (hasTestResidue) ++cursor;

      if (!isUpper(ref[column])) continue;
      ++counted;
      if (!aligned) continue;
      uint32_t& group = inTestColumn[testColumn];
      if (group == 0) touched.push_back(testColumn);
      columnPairs += group++;
    }
    for (size_t t : touched) inTestColumn[t] = 0;
    touched.clear();

    if (counted < 2) continue;
    const uint64_t possible = pairsAmong(counted);
    counts.referencePairs += possible;
    counts.alignedPairs += columnPairs;
    ++counts.scoredColumns;
    if (columnPairs == possible) ++counts.correctColumns;
  }
  return counts;
}

}  // namespace alnscore
