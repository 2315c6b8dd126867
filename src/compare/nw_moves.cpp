// Move table layout, the portable fill and the traceback.
#include "compare/nw_moves.h"

#include <algorithm>

MoveTable::MoveTable(size_t rows, size_t columns)
    : rows_(rows), columns_(columns), offset_(rows + columns + 1, 0) {
  size_t words = 0;
  for (size_t d = 2; d <= rows + columns; ++d) {
    offset_[d] = words;
    size_t cells = lastRow(d) - firstRow(d) + 1;
    words += 2 * ((cells + kChunkCells - 1) / kChunkCells);
  }
  wordCount_ = words;
  // Every word is written by a fill before it is read.
  words_.reset(new uint32_t[words]);
}

size_t MoveTable::bytes() const {
  return wordCount_ * sizeof(uint32_t) + offset_.size() * sizeof(size_t);
}

void fillMovesPortable(const std::string& a, const std::string& b, MoveTable& moves) {
  const size_t m = a.size(), n = b.size();
  // Scores of anti-diagonals d - 2, d - 1 and d, indexed by i.
  std::vector<int64_t> before(m + 1), previous(m + 1), current(m + 1);
  before[0] = 0;
  previous[0] = -1;
  previous[1] = -1;
  for (size_t d = 2; d <= m + n; ++d) {
    if (d <= n) current[0] = -int64_t(d);
    const size_t first = moves.firstRow(d), last = moves.lastRow(d);
    uint32_t* chunk = moves.chunks(d);
    uint32_t diagonalBits = 0, leftBits = 0;
    for (size_t i = first; i <= last; ++i) {
      const size_t j = d - i;
      int64_t diagonal = before[i - 1] + (a[i - 1] == b[j - 1] ? 1 : -1);
      int64_t left = previous[i] - 1;
      int64_t up = previous[i - 1] - 1;
      int64_t best = std::max(diagonal, std::max(left, up));
      current[i] = best;
      const size_t k = (i - first) % MoveTable::kChunkCells;
      diagonalBits |= uint32_t(diagonal == best) << k;
      leftBits |= uint32_t(left == best) << k;
      if (k == MoveTable::kChunkCells - 1 || i == last) {
        *chunk++ = diagonalBits;
        *chunk++ = leftBits;
        diagonalBits = leftBits = 0;
      }
    }
    if (d <= m) current[d] = -int64_t(d);
    std::swap(before, previous);
    std::swap(previous, current);
  }
}

AlignmentSummary alignGlobally(const std::string& a, const std::string& b, MoveFill fill) {
  AlignmentSummary summary;
  size_t i = a.size(), j = b.size();
  if (i > 0 && j > 0) {
    MoveTable moves(i, j);
    if (fill == MoveFill::kAvx2 || (fill == MoveFill::kFastest && avx2Available())) {
      fillMovesAvx2(a, b, moves);
    } else {
      fillMovesPortable(a, b, moves);
    }
    // Diagonal first, then a gap in a (left), then a gap in b (up).
    while (i > 0 && j > 0) {
      if (moves.diagonalAttains(i, j)) {
        summary.identities += a[i - 1] == b[j - 1];
        --i;
        --j;
      } else if (moves.leftAttains(i, j)) {
        --j;
      } else {
        --i;
      }
      ++summary.columns;
    }
  }
  // Row 0 has only left moves, column 0 only up moves.
  summary.columns += i + j;
  return summary;
}
