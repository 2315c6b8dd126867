// Myers' bit-vector algorithm in Hyyro's block form for the global distance:
// the shorter string runs down the columns in blocks of 64 rows, one machine
// word of +1 and one of -1 vertical deltas per block, and each character of
// the longer string advances every block by one column. The distance at the
// bottom row is tracked from the horizontal delta that leaves the last row.
#include "compare/edit_distance.h"

#include <cmath>
#include <vector>

namespace {

const int kWordBits = 64;

// Match masks: for each byte that occurs in the pattern, one word per block
// with bit r set where pattern[64 * block + r] equals that byte. Bytes absent
// from the pattern share one all-zero row, so the table grows with the number
// of distinct pattern bytes, not with 256.
class MatchMasks {
 public:
  MatchMasks(const unsigned char* pattern, size_t length, size_t blocks) : blocks_(blocks) {
    uint16_t distinct = 0;
    for (int c = 0; c < 256; ++c) rowOf_[c] = 0;
    for (size_t i = 0; i < length; ++i) {
      if (rowOf_[pattern[i]] == 0) rowOf_[pattern[i]] = ++distinct;
    }
    masks_.assign((size_t(distinct) + 1) * blocks, 0);
    for (size_t i = 0; i < length; ++i) {
      masks_[rowOf_[pattern[i]] * blocks + i / kWordBits] |= uint64_t(1) << (i % kWordBits);
    }
  }
  const uint64_t* of(unsigned char c) const { return masks_.data() + rowOf_[c] * blocks_; }

 private:
  size_t blocks_;
  uint16_t rowOf_[256];  // 0 is the all-zero row of absent bytes
  std::vector<uint64_t> masks_;
};

// One block advanced by one column. Horizontal delta entering at the top:
// +1 when hinPlus is 1, -1 when hinMinus is 1, else 0 (never both). Returns
// the delta leaving at the bottom the same way in hinPlus/hinMinus.
inline void advanceBlock(uint64_t eq, uint64_t& pv, uint64_t& mv, uint64_t& hinPlus,
                         uint64_t& hinMinus) {
  uint64_t xv = eq | mv;
  eq |= hinMinus;
  uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
  uint64_t ph = mv | ~(xh | pv);
  uint64_t mh = pv & xh;
  uint64_t outPlus = ph >> (kWordBits - 1);
  uint64_t outMinus = mh >> (kWordBits - 1);
  ph = (ph << 1) | hinPlus;
  mh = (mh << 1) | hinMinus;
  pv = mh | ~(xv | ph);
  mv = ph & xv;
  hinPlus = outPlus;
  hinMinus = outMinus;
}

// Global distance of pattern (down) against text (across); 0 < patternLength.
uint64_t myersDistance(const unsigned char* pattern, size_t patternLength,
                       const unsigned char* text, size_t textLength) {
  const size_t blocks = (patternLength + kWordBits - 1) / kWordBits;
  const int lastBit = int((patternLength - 1) % kWordBits);
  MatchMasks masks(pattern, patternLength, blocks);
  // Column 0 of the matrix is 0, 1, 2, ...: every vertical delta is +1.
  std::vector<uint64_t> pv(blocks, ~uint64_t(0));
  std::vector<uint64_t> mv(blocks, 0);
  uint64_t* const pvs = pv.data();
  uint64_t* const mvs = mv.data();
  uint64_t distance = patternLength;
  for (size_t j = 0; j < textLength; ++j) {
    const uint64_t* eq = masks.of(text[j]);
    // Row 0 is 0, 1, 2, ...: the delta entering the first block is +1.
    uint64_t hinPlus = 1, hinMinus = 0;
    for (size_t b = 0; b + 1 < blocks; ++b) {
      advanceBlock(eq[b], pvs[b], mvs[b], hinPlus, hinMinus);
    }
    // The last block may be partial: read the delta of the pattern's last
    // row. Bits above it only ever receive carries and shifts from below.
    const size_t b = blocks - 1;
    uint64_t pvLast = pvs[b], mvLast = mvs[b];
    uint64_t e = eq[b];
    uint64_t xv = e | mvLast;
    e |= hinMinus;
    uint64_t xh = (((e & pvLast) + pvLast) ^ pvLast) | e;
    uint64_t ph = mvLast | ~(xh | pvLast);
    uint64_t mh = pvLast & xh;
    distance += (ph >> lastBit) & 1;
    distance -= (mh >> lastBit) & 1;
    ph = (ph << 1) | hinPlus;
    mh = (mh << 1) | hinMinus;
    pvs[b] = mh | ~(xv | ph);
    mvs[b] = ph & xv;
  }
  return distance;
}

}  // namespace

uint64_t editDistance(const char* a, size_t aLength, const char* b, size_t bLength) {
  if (aLength == 0) return bLength;
  if (bLength == 0) return aLength;
  const unsigned char* ua = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* ub = reinterpret_cast<const unsigned char*>(b);
  // The distance is symmetric; the shorter string as pattern keeps the
  // masks and the column state small.
  if (aLength <= bLength) return myersDistance(ua, aLength, ub, bLength);
  return myersDistance(ub, bLength, ua, aLength);
}

double similarityScore(double similarity) {
  double s = similarity;
  return -std::log(1.0 - (s - 0.2 * s * s));
}
