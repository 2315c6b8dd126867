#include "pair_counting.h"

#include <algorithm>

namespace alnscore {

namespace {

// What a reference cell contributes: the test column of its residue, or
// one of these two marks.
constexpr uint32_t kNotCounted = UINT32_MAX;     // gap or lower-case residue
constexpr uint32_t kUnaligned = UINT32_MAX - 1;  // counted, but in no test column

// Columns looked up row by row before they are tallied column by column:
// walking all rows for each single column would jump between rows at
// every cell.
constexpr size_t kBlockColumns = 64;

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
uint64_t pairsAmong(uint64_t m) { return m * (m - 1) / 2; }

struct RowWalk {
  std::string_view reference;
  std::string_view test;
  size_t nextTest = 0;  // where to look for the next test residue
};

}  // namespace

PairCounts countPairs(const std::vector<MatchedRows>& rows, bool ignoreTestCase,
                      ReferenceResidues counted) {
  const bool countEvery = counted == ReferenceResidues::kEvery;
  PairCounts counts;
  const size_t n = rows.size();
  size_t referenceWidth = 0, testWidth = 0;
  std::vector<RowWalk> walks;
  walks.reserve(n);
  for (const MatchedRows& r : rows) {
    walks.push_back({r.reference, r.test});
    referenceWidth = std::max(referenceWidth, r.reference.size());
    testWidth = std::max(testWidth, r.test.size());
  }
  if (testWidth >= kUnaligned) testWidth = kUnaligned;  // later columns read as unaligned

  std::vector<uint32_t> cells(kBlockColumns * n);  // column-major within the block
  std::vector<uint32_t> inTestColumn(testWidth, 0);
  std::vector<uint32_t> touched;
  touched.reserve(n);

  for (size_t start = 0; start < referenceWidth; start += kBlockColumns) {
    const size_t end = std::min(referenceWidth, start + kBlockColumns);
    for (size_t i = 0; i < n; ++i) {
      RowWalk& w = walks[i];
      for (size_t c = start; c < end; ++c) {
        uint32_t cell = kNotCounted;
        if (c < w.reference.size() && !isGap(w.reference[c])) {
          while (w.nextTest < w.test.size() && isGap(w.test[w.nextTest])) ++w.nextTest;
          const bool hasTestResidue = w.nextTest < w.test.size();
          if (countEvery || isUpper(w.reference[c])) {
            const bool aligned = hasTestResidue && w.nextTest < testWidth &&
                                 (ignoreTestCase || !isLower(w.test[w.nextTest]));
            cell = aligned ? static_cast<uint32_t>(w.nextTest) : kUnaligned;
          }
          if (hasTestResidue) ++w.nextTest;
        }
        cells[(c - start) * n + i] = cell;
      }
    }

    for (size_t c = start; c < end; ++c) {
      const uint32_t* column = &cells[(c - start) * n];
      uint64_t counted = 0, columnPairs = 0;
      for (size_t i = 0; i < n; ++i) {
        const uint32_t t = column[i];
        if (t == kNotCounted) continue;
        ++counted;
        if (t == kUnaligned) continue;
        if (inTestColumn[t] == 0) touched.push_back(t);
        columnPairs += inTestColumn[t]++;
      }
      for (uint32_t t : touched) inTestColumn[t] = 0;
      touched.clear();

      if (counted < 2) continue;
      const uint64_t possible = pairsAmong(counted);
      counts.referencePairs += possible;
      counts.alignedPairs += columnPairs;
      ++counts.scoredColumns;
      if (columnPairs == possible) ++counts.correctColumns;
    }
  }
  return counts;
}

}  // namespace alnscore
