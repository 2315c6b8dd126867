#include "scoring/pair_counting.h"

#include <algorithm>

namespace scoring {

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

// Looks up the test column of each reference cell, a block of columns at a
// time, and tallies the pairs of each column.
class PairCounter {
 public:
  PairCounter(const std::vector<MatchedRows>& rows, bool ignoreTestCase, ReferenceResidues counted)
      : countEvery_(counted == ReferenceResidues::kEvery),
        ignoreTestCase_(ignoreTestCase),
        n_(rows.size()) {
    walks_.reserve(n_);
    for (const MatchedRows& r : rows) {
      walks_.push_back({r.reference, r.test});
      referenceWidth_ = std::max(referenceWidth_, r.reference.size());
      testWidth_ = std::max(testWidth_, r.test.size());
    }
    if (testWidth_ >= kUnaligned) testWidth_ = kUnaligned;  // later columns read as unaligned
    cells_.resize(kBlockColumns * n_);                      // column-major within the block
    inTestColumn_.assign(testWidth_, 0);
    touched_.reserve(n_);
  }

  PairCounts count() {
    for (size_t start = 0; start < referenceWidth_; start += kBlockColumns) {
      const size_t end = std::min(referenceWidth_, start + kBlockColumns);
      for (size_t i = 0; i < n_; ++i) fillRow(i, start, end);
      for (size_t c = start; c < end; ++c) tallyColumn(&cells_[(c - start) * n_]);
    }
    return counts_;
  }

 private:
  void fillRow(size_t i, size_t start, size_t end) {
    RowWalk& w = walks_[i];
    for (size_t c = start; c < end; ++c) {
      uint32_t cell = kNotCounted;
      if (c < w.reference.size() && !isGap(w.reference[c])) {
        while (w.nextTest < w.test.size() && isGap(w.test[w.nextTest])) ++w.nextTest;
        const bool hasTestResidue = w.nextTest < w.test.size();
        if (countEvery_ || isUpper(w.reference[c])) {
          const bool aligned = hasTestResidue && w.nextTest < testWidth_ &&
                               (ignoreTestCase_ || !isLower(w.test[w.nextTest]));
          cell = aligned ? static_cast<uint32_t>(w.nextTest) : kUnaligned;
        }
        if (hasTestResidue) ++w.nextTest;
      }
      cells_[(c - start) * n_ + i] = cell;
    }
  }

  void tallyColumn(const uint32_t* column) {
    uint64_t counted = 0, columnPairs = 0;
    for (size_t i = 0; i < n_; ++i) {
      const uint32_t t = column[i];
      if (t == kNotCounted) continue;
      ++counted;
      if (t == kUnaligned) continue;
      if (inTestColumn_[t] == 0) touched_.push_back(t);
      columnPairs += inTestColumn_[t]++;
    }
    for (uint32_t t : touched_) inTestColumn_[t] = 0;
    touched_.clear();

    if (counted < 2) return;
    const uint64_t possible = pairsAmong(counted);
    counts_.referencePairs += possible;
    counts_.alignedPairs += columnPairs;
    ++counts_.scoredColumns;
    if (columnPairs == possible) ++counts_.correctColumns;
  }

  const bool countEvery_, ignoreTestCase_;
  const size_t n_;
  size_t referenceWidth_ = 0, testWidth_ = 0;
  std::vector<RowWalk> walks_;
  std::vector<uint32_t> cells_, inTestColumn_, touched_;
  PairCounts counts_;
};

}  // namespace

PairCounts countPairs(const std::vector<MatchedRows>& rows, bool ignoreTestCase,
                      ReferenceResidues counted) {
  return PairCounter(rows, ignoreTestCase, counted).count();
}

}  // namespace scoring
