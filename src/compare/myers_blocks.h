// The column step of Myers' bit-vector edit distance in Hyyro's block form,
// over a contiguous range of blocks. The pattern runs down the rows in blocks
// of 64; a block holds one word of +1 and one word of -1 vertical deltas (the
// difference between a cell and the cell above it) for its 64 rows in the
// current column. Each character of the text advances the range by one column.
#ifndef GETCHAR_MYERS_BLOCKS_H
#define GETCHAR_MYERS_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace myers {

const int kWordBits = 64;
// Columns advanced by one call of advanceStrip; the vector form works on
// this many columns at once.
const int kStripColumns = 8;
// Words readable before and after every row of the masks and after the last
// block of the state, so that the vector form may load past the range.
const size_t kPadding = kStripColumns;

// Match masks: for each byte that occurs in the pattern, one word per block
// with bit r set where pattern[64 * block + r] equals that byte. Bytes absent
// from the pattern share one all-zero row, so the table grows with the number
// of distinct pattern bytes, not with 256.
class MatchMasks {
 public:
  MatchMasks(const unsigned char* pattern, size_t length);
  size_t blocks() const { return blocks_; }
  const uint64_t* of(unsigned char c) const { return rows_ + rowOf_[c] * blocks_; }

 private:
  size_t blocks_;
  uint16_t rowOf_[256];  // 0 is the all-zero row of absent bytes
  std::vector<uint64_t> words_;
  const uint64_t* rows_;  // row 0, past the leading padding
};

// Vertical deltas of a range of blocks: plus[b] and minus[b] for block b, with
// kPadding spare words after the last block.
struct BlockState {
  explicit BlockState(size_t blocks) : plus(blocks + kPadding), minus(blocks + kPadding) {}
  std::vector<uint64_t> plus, minus;
};

// Advances blocks first..last (inclusive) by the columns of text[0..count),
// 1 <= count <= kStripColumns. The cell above block `first` grows by 1 per
// column (true of row 0, and the band's assumption for the rows above it).
// Returns the change, over the strip, of the value in the last row of block
// `last`. kFastest takes the vector form for ranges of 5 blocks or more when
// the processor has AVX2; kAvx2 takes it whenever count is kStripColumns.
enum class StripKernel { kFastest, kPortable, kAvx2 };
int advanceStrip(const MatchMasks& masks, const unsigned char* text, int count, size_t first,
                 size_t last, BlockState& state, StripKernel kernel = StripKernel::kFastest);

// The two forms, exposed so that tests can compare them; the vector form
// takes exactly kStripColumns columns and needs AVX2.
int advanceStripPortable(const MatchMasks& masks, const unsigned char* text, int count,
                         size_t first, size_t last, BlockState& state);
int advanceStripAvx2(const MatchMasks& masks, const unsigned char* text, size_t first, size_t last,
                     BlockState& state);
bool stripAvx2Available();

}  // namespace myers

#endif
