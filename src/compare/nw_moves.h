// Global alignment of two byte strings with match +1, mismatch -1 and gap -1
// per position, keeping two bits per cell instead of the score matrix: which
// of the diagonal and the left predecessor attain the cell's score. That is
// all the traceback needs, since it takes the first of diagonal, left (gap in
// the first string) and up (gap in the second) whose predecessor attains it.
#ifndef GETCHAR_NW_MOVES_H
#define GETCHAR_NW_MOVES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The cells (i, j), 1 <= i <= rows, 1 <= j <= columns, stored by
// anti-diagonal d = i + j, each anti-diagonal in chunks of 32 cells ordered
// by i. A chunk is two words: bit k of the first tells that the diagonal move
// attains cell (first + k, d - first - k), bit k of the second the left move.
class MoveTable {
 public:
  static const int kChunkCells = 32;

  MoveTable(size_t rows, size_t columns);
  size_t rows() const { return rows_; }
  size_t columns() const { return columns_; }
  // Smallest and largest i of the interior cells on anti-diagonal d.
  size_t firstRow(size_t d) const { return d > columns_ ? d - columns_ : 1; }
  size_t lastRow(size_t d) const { return d - 1 < rows_ ? d - 1 : rows_; }
  // The chunks of anti-diagonal d, from firstRow(d) on.
  uint32_t* chunks(size_t d) { return words_.get() + offset_[d]; }
  bool diagonalAttains(size_t i, size_t j) const { return bit(i, j, 0); }
  bool leftAttains(size_t i, size_t j) const { return bit(i, j, 1); }
  size_t bytes() const;

 private:
  bool bit(size_t i, size_t j, int plane) const {
    size_t k = i - firstRow(i + j);
    const uint32_t* chunk = words_.get() + offset_[i + j] + 2 * (k / kChunkCells);
    return (chunk[plane] >> (k % kChunkCells)) & 1;
  }

  size_t rows_, columns_;
  std::vector<size_t> offset_;  // first word of each anti-diagonal
  std::unique_ptr<uint32_t[]> words_;
  size_t wordCount_ = 0;
};

// Fills the table for a (down) against b (across); both non-empty. The
// portable fill runs anywhere; the vector one needs AVX2.
void fillMovesPortable(const std::string& a, const std::string& b, MoveTable& moves);
void fillMovesAvx2(const std::string& a, const std::string& b, MoveTable& moves);
bool avx2Available();

struct AlignmentSummary {
  uint64_t columns = 0;     // length of the alignment
  uint64_t identities = 0;  // columns whose two characters are equal
};

enum class MoveFill { kFastest, kPortable, kAvx2 };

// Aligns a against b and walks the traceback from the last cell.
AlignmentSummary alignGlobally(const std::string& a, const std::string& b,
                               MoveFill fill = MoveFill::kFastest);

#endif
