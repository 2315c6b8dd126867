// The strip step with AVX2: eight columns at once in two vectors, skewed by
// one block per column. At step s lane L advances block first + s - L by
// column L, which needs that block as column L - 1 left it (lane L - 1 at
// step s - 1) and the delta leaving the block above it in column L (lane L
// itself at step s - 1). So the deltas between blocks stay in their lane and
// the block state moves up one lane per step: lane 0 loads it, lane 7 stores
// it. The two vectors of a step do not depend on each other, which hides
// the latency of each.
#include "compare/myers_blocks.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

namespace myers {

namespace {

const int kLanes = 4;                         // words per vector
const int kVectors = kStripColumns / kLanes;  // vectors per step

// Lane L of the strip is lane L % 4 of vector L / 4.
class SkewedStrip {
 public:
  __attribute__((target("avx2")))
  SkewedStrip(const MatchMasks& masks, const unsigned char* text, size_t first, BlockState& state)
      : pv_(state.plus.data() + first), mv_(state.minus.data() + first) {
    // Lane L reads the mask of block first + s - L at step s; the padding
    // of the mask rows covers the reads before the range and past it.
    for (int lane = 0; lane < kStripColumns; ++lane)
      eq_[lane] = masks.of(text[lane]) + first - lane;
    for (int v = 0; v < kVectors; ++v) {
      plus_[v] = minus_[v] = hinPlus_[v] = hinMinus_[v] = _mm256_setzero_si256();
    }
    bottom_ = _mm256_setzero_si256();
  }

  // Step s; kStart: s < kStripColumns, lane s starts at block `first` with
  // the +1 delta from above. kBottom: lane s - (blocks - 1) is at the last
  // block, whose outgoing delta is summed.
  template <bool kStart, bool kBottom>
  __attribute__((target("avx2"), always_inline)) inline void step(ptrdiff_t s, ptrdiff_t blocks) {
    const __m256i ones = _mm256_set1_epi64x(-1);
    // The block state moves up one lane: lane 0 from memory, lane 4 from
    // lane 3.
    __m256i pv[kVectors], mv[kVectors];
    for (int v = kVectors - 1; v >= 0; --v) {
      __m256i pvFrom = v == 0 ? _mm256_set1_epi64x(int64_t(pv_[s]))
                              : _mm256_permute4x64_epi64(plus_[v - 1], _MM_SHUFFLE(3, 3, 3, 3));
      __m256i mvFrom = v == 0 ? _mm256_set1_epi64x(int64_t(mv_[s]))
                              : _mm256_permute4x64_epi64(minus_[v - 1], _MM_SHUFFLE(3, 3, 3, 3));
      pv[v] = _mm256_blend_epi32(_mm256_permute4x64_epi64(plus_[v], _MM_SHUFFLE(2, 1, 0, 0)),
                                 pvFrom, 0x03);
      mv[v] = _mm256_blend_epi32(_mm256_permute4x64_epi64(minus_[v], _MM_SHUFFLE(2, 1, 0, 0)),
                                 mvFrom, 0x03);
    }
    for (int v = 0; v < kVectors; ++v) {
      const uint64_t* const* eqs = eq_ + kLanes * v;
      __m256i eq = _mm256_set_epi64x(int64_t(eqs[3][s]), int64_t(eqs[2][s]), int64_t(eqs[1][s]),
                                     int64_t(eqs[0][s]));
      if (kStart) {
        __m256i lane = laneMask(s - kLanes * v);
        hinPlus_[v] = _mm256_or_si256(hinPlus_[v], _mm256_srli_epi64(lane, 63));
        hinMinus_[v] = _mm256_andnot_si256(lane, hinMinus_[v]);
      }
      __m256i xv = _mm256_or_si256(eq, mv[v]);
      eq = _mm256_or_si256(eq, hinMinus_[v]);
      __m256i xh = _mm256_or_si256(
          _mm256_xor_si256(_mm256_add_epi64(_mm256_and_si256(eq, pv[v]), pv[v]), pv[v]), eq);
      __m256i ph = _mm256_or_si256(mv[v], _mm256_xor_si256(_mm256_or_si256(xh, pv[v]), ones));
      __m256i mh = _mm256_and_si256(pv[v], xh);
      __m256i outPlus = _mm256_srli_epi64(ph, 63);
      __m256i outMinus = _mm256_srli_epi64(mh, 63);
      ph = _mm256_or_si256(_mm256_slli_epi64(ph, 1), hinPlus_[v]);
      mh = _mm256_or_si256(_mm256_slli_epi64(mh, 1), hinMinus_[v]);
      plus_[v] = _mm256_or_si256(mh, _mm256_xor_si256(_mm256_or_si256(xv, ph), ones));
      minus_[v] = _mm256_and_si256(ph, xv);
      hinPlus_[v] = outPlus;
      hinMinus_[v] = outMinus;
      if (kBottom) {
        __m256i change = _mm256_sub_epi64(outPlus, outMinus);
        bottom_ = _mm256_add_epi64(
            bottom_, _mm256_and_si256(change, laneMask(s - (blocks - 1) - kLanes * v)));
      }
    }
  }

  // The last lane has finished block first + s - (kStripColumns - 1) at the
  // last column.
  __attribute__((target("avx2"))) void store(ptrdiff_t s) {
    pv_[s - (kStripColumns - 1)] = uint64_t(_mm256_extract_epi64(plus_[kVectors - 1], 3));
    mv_[s - (kStripColumns - 1)] = uint64_t(_mm256_extract_epi64(minus_[kVectors - 1], 3));
  }

  __attribute__((target("avx2"))) int bottomChange() const {
    return int(_mm256_extract_epi64(bottom_, 0) + _mm256_extract_epi64(bottom_, 1) +
               _mm256_extract_epi64(bottom_, 2) + _mm256_extract_epi64(bottom_, 3));
  }

 private:
  // All ones in lane `lane` of a vector, if 0 <= lane < 4.
  __attribute__((target("avx2"))) static __m256i laneMask(ptrdiff_t lane) {
    return _mm256_cmpeq_epi64(_mm256_set_epi64x(3, 2, 1, 0), _mm256_set1_epi64x(lane));
  }

  uint64_t* pv_;
  uint64_t* mv_;
  const uint64_t* eq_[kStripColumns];
  __m256i plus_[kVectors], minus_[kVectors], hinPlus_[kVectors], hinMinus_[kVectors], bottom_;
};

}  // namespace

bool stripAvx2Available() { return __builtin_cpu_supports("avx2"); }

__attribute__((target("avx2"))) int advanceStripAvx2(const MatchMasks& masks,
                                                     const unsigned char* text, size_t first,
                                                     size_t last, BlockState& state) {
  const ptrdiff_t blocks = ptrdiff_t(last - first + 1);
  const ptrdiff_t steps = blocks + kStripColumns - 1;
  const ptrdiff_t lastLane = kStripColumns - 1;
  SkewedStrip strip(masks, text, first, state);
  // The lanes start one step apart; the last one first stores at step
  // kStripColumns - 1.
  for (ptrdiff_t s = 0; s < kStripColumns; ++s) {
    if (s >= blocks - 1) {
      strip.step<true, true>(s, blocks);
    } else {
      strip.step<true, false>(s, blocks);
    }
  }
  strip.store(lastLane);
  ptrdiff_t s = kStripColumns;
  for (; s < blocks - 1; ++s) {
    strip.step<false, false>(s, blocks);
    strip.store(s);
  }
  for (; s < steps; ++s) {
    strip.step<false, true>(s, blocks);
    strip.store(s);
  }
  return strip.bottomChange();
}

}  // namespace myers

#else

namespace myers {

bool stripAvx2Available() { return false; }

int advanceStripAvx2(const MatchMasks& masks, const unsigned char* text, size_t first, size_t last,
                     BlockState& state) {
  return advanceStripPortable(masks, text, kStripColumns, first, last, state);
}

}  // namespace myers

#endif
