#include "compare/myers_blocks.h"

namespace myers {

namespace {

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

}  // namespace

MatchMasks::MatchMasks(const unsigned char* pattern, size_t length)
    : blocks_((length + kWordBits - 1) / kWordBits) {
  uint16_t distinct = 0;
  for (int c = 0; c < 256; ++c) rowOf_[c] = 0;
  for (size_t i = 0; i < length; ++i) {
    if (rowOf_[pattern[i]] == 0) rowOf_[pattern[i]] = ++distinct;
  }
  words_.assign((size_t(distinct) + 1) * blocks_ + 2 * kPadding, 0);
  rows_ = words_.data() + kPadding;
  uint64_t* rows = words_.data() + kPadding;
  for (size_t i = 0; i < length; ++i) {
    rows[rowOf_[pattern[i]] * blocks_ + i / kWordBits] |= uint64_t(1) << (i % kWordBits);
  }
}

int advanceStripPortable(const MatchMasks& masks, const unsigned char* text, int count,
                         size_t first, size_t last, BlockState& state) {
  uint64_t* const pvs = state.plus.data();
  uint64_t* const mvs = state.minus.data();
  int bottomChange = 0;
  for (int c = 0; c < count; ++c) {
    const uint64_t* eq = masks.of(text[c]);
    uint64_t hinPlus = 1, hinMinus = 0;
    for (size_t b = first; b <= last; ++b) advanceBlock(eq[b], pvs[b], mvs[b], hinPlus, hinMinus);
    bottomChange += int(hinPlus) - int(hinMinus);
  }
  return bottomChange;
}

int advanceStrip(const MatchMasks& masks, const unsigned char* text, int count, size_t first,
                 size_t last, BlockState& state, StripKernel kernel) {
  static const bool avx2 = stripAvx2Available();
  // The vector form spends 7 steps filling and emptying its lanes; under
  // 5 blocks the portable form, whose columns overlap well enough in the
  // processor, is faster.
  const size_t kVectorBlocks = 5;
  bool vector = kernel == StripKernel::kAvx2 ||
                (kernel == StripKernel::kFastest && avx2 && last - first + 1 >= kVectorBlocks);
  if (vector && count == kStripColumns) {
    return advanceStripAvx2(masks, text, first, last, state);
  }
  return advanceStripPortable(masks, text, count, first, last, state);
}

}  // namespace myers
