#include "features/residue_groups.h"

#include <atomic>

#if defined(__x86_64__)
#include <immintrin.h>
#define GETCHAR_AVX2_KERNEL 1
#endif

namespace {

constexpr uint8_t groupOf(unsigned char c) {
  switch (c) {
    case 'R':
    case 'H':
    case 'K':
      return 0;
    case 'D':
    case 'E':
      return 1;
    case 'S':
    case 'T':
    case 'N':
    case 'Q':
      return 2;
    case 'C':
    case 'U':
    case 'G':
    case 'P':
      return 3;
    case 'A':
    case 'V':
    case 'I':
    case 'L':
    case 'M':
    case 'F':
    case 'Y':
    case 'W':
      return 4;
    default:
      return 5;
  }
}

// The portable kernel, one table lookup per byte.
void countScalar(const unsigned char* p, size_t size, uint64_t counts[5]) {
  // Four interleaved tallies avoid the store-to-load stall of incrementing
  // the same counter on consecutive equal bytes.
  uint64_t tally[4][6] = {};
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    ++tally[0][kResidueGroupOf[p[i]]];
    ++tally[1][kResidueGroupOf[p[i + 1]]];
    ++tally[2][kResidueGroupOf[p[i + 2]]];
    ++tally[3][kResidueGroupOf[p[i + 3]]];
  }
  for (; i < size; ++i) ++tally[0][kResidueGroupOf[p[i]]];
  for (int g = 0; g < 5; ++g) counts[g] += tally[0][g] + tally[1][g] + tally[2][g] + tally[3][g];
}

#ifdef GETCHAR_AVX2_KERNEL

// Every grouped byte lies in 0x40..0x5F. For each of the two high nibbles 4
// and 5, a 16-entry table indexed by the low nibble gives the group as one
// bit (1 << group), 0 for none; repeated for both 128-bit lanes.
struct NibbleTables {
  uint8_t high4[32];
  uint8_t high5[32];
};

constexpr uint8_t groupBit(unsigned char c) {
  return groupOf(c) < 5 ? static_cast<uint8_t>(1u << groupOf(c)) : 0;
}

constexpr NibbleTables makeNibbleTables() {
  NibbleTables t{};
  for (int i = 0; i < 32; ++i) {
    t.high4[i] = groupBit(static_cast<unsigned char>(0x40 + (i & 15)));
    t.high5[i] = groupBit(static_cast<unsigned char>(0x50 + (i & 15)));
  }
  return t;
}

alignas(32) constexpr NibbleTables kNibble = makeNibbleTables();

// 32 zero bytes then 32 0xFF: loading at offset r keeps the last r bytes of
// a 32-byte vector (the last r of 16 at offset 16 + r).
alignas(64) constexpr uint8_t kKeepLast[64] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

#define GETCHAR_AVX2 __attribute__((target("avx2"), always_inline)) inline

// Group bit of each byte. XOR with 0x40 (0x50) maps the wanted high nibble to
// 0; the saturating add of 0x70 then sets bit 7 of every other byte, which
// makes the shuffle yield 0 for it.
GETCHAR_AVX2 __m256i classify32(__m256i v) {
  const __m256i t4 = _mm256_load_si256(reinterpret_cast<const __m256i*>(kNibble.high4));
  const __m256i t5 = _mm256_load_si256(reinterpret_cast<const __m256i*>(kNibble.high5));
  const __m256i bias = _mm256_set1_epi8(0x70);
  const __m256i a = _mm256_adds_epu8(_mm256_xor_si256(v, _mm256_set1_epi8(0x40)), bias);
  const __m256i b = _mm256_adds_epu8(_mm256_xor_si256(v, _mm256_set1_epi8(0x50)), bias);
  return _mm256_or_si256(_mm256_shuffle_epi8(t4, a), _mm256_shuffle_epi8(t5, b));
}

GETCHAR_AVX2 __m128i classify16(__m128i v) {
  const __m128i t4 = _mm_load_si128(reinterpret_cast<const __m128i*>(kNibble.high4));
  const __m128i t5 = _mm_load_si128(reinterpret_cast<const __m128i*>(kNibble.high5));
  const __m128i bias = _mm_set1_epi8(0x70);
  const __m128i a = _mm_adds_epu8(_mm_xor_si128(v, _mm_set1_epi8(0x40)), bias);
  const __m128i b = _mm_adds_epu8(_mm_xor_si128(v, _mm_set1_epi8(0x50)), bias);
  return _mm_or_si128(_mm_shuffle_epi8(t4, a), _mm_shuffle_epi8(t5, b));
}

GETCHAR_AVX2 uint64_t sumBytes16(__m128i ones) {
  const __m128i s = _mm_sad_epu8(ones, _mm_setzero_si128());
  return static_cast<uint64_t>(_mm_cvtsi128_si64(s)) +
         static_cast<uint64_t>(_mm_extract_epi64(s, 1));
}

// Counts the group bits of classified bytes (0 for bytes to skip).
GETCHAR_AVX2 void tally16(__m128i cls, uint64_t counts[5]) {
  for (int g = 0; g < 5; ++g) {
    const __m128i hit = _mm_cmpeq_epi8(cls, _mm_set1_epi8(static_cast<char>(1 << g)));
    counts[g] += sumBytes16(_mm_sub_epi8(_mm_setzero_si128(), hit));
  }
}

const size_t kMaxBlocks = 255;  // byte counters overflow after 255 matches

// Adds 1 to the byte counter of its group for each classified byte
// (subtracting the 0xFF of a match).
GETCHAR_AVX2 void addClasses(__m256i cls, __m256i& acc0, __m256i& acc1, __m256i& acc2,
                             __m256i& acc3, __m256i& acc4) {
  acc0 = _mm256_sub_epi8(acc0, _mm256_cmpeq_epi8(cls, _mm256_set1_epi8(1)));
  acc1 = _mm256_sub_epi8(acc1, _mm256_cmpeq_epi8(cls, _mm256_set1_epi8(2)));
  acc2 = _mm256_sub_epi8(acc2, _mm256_cmpeq_epi8(cls, _mm256_set1_epi8(4)));
  acc3 = _mm256_sub_epi8(acc3, _mm256_cmpeq_epi8(cls, _mm256_set1_epi8(8)));
  acc4 = _mm256_sub_epi8(acc4, _mm256_cmpeq_epi8(cls, _mm256_set1_epi8(16)));
}

// Adds the group counts of bytes [from, to) of p, where to - from is at most
// kMaxBlocks * 32 and to is at least 32: the partial last block is read as
// the final 32 bytes before `to`, with the bytes already counted masked off.
GETCHAR_AVX2 void countSpan(const unsigned char* p, size_t from, size_t to, uint64_t counts[5]) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero, acc4 = zero;
  size_t i = from;
  for (; i + 32 <= to; i += 32)
    addClasses(classify32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i))), acc0, acc1,
               acc2, acc3, acc4);
  if (i < to) {
    const __m256i keep = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kKeepLast + (to - i)));
    const __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + to - 32));
    addClasses(_mm256_and_si256(classify32(last), keep), acc0, acc1, acc2, acc3, acc4);
  }

  // Sums of the byte counters, two groups per 128-bit register.
  const __m256i t0 = _mm256_sad_epu8(acc0, zero), t1 = _mm256_sad_epu8(acc1, zero),
                t2 = _mm256_sad_epu8(acc2, zero), t3 = _mm256_sad_epu8(acc3, zero),
                t4 = _mm256_sad_epu8(acc4, zero);
  const __m256i t01 =
      _mm256_add_epi64(_mm256_unpacklo_epi64(t0, t1), _mm256_unpackhi_epi64(t0, t1));
  const __m256i t23 =
      _mm256_add_epi64(_mm256_unpacklo_epi64(t2, t3), _mm256_unpackhi_epi64(t2, t3));
  const __m256i t44 = _mm256_add_epi64(t4, _mm256_unpackhi_epi64(t4, t4));
  const __m128i s01 = _mm_add_epi64(_mm256_castsi256_si128(t01), _mm256_extracti128_si256(t01, 1));
  const __m128i s23 = _mm_add_epi64(_mm256_castsi256_si128(t23), _mm256_extracti128_si256(t23, 1));
  const __m128i s4 = _mm_add_epi64(_mm256_castsi256_si128(t44), _mm256_extracti128_si256(t44, 1));
  __m128i* c01 = reinterpret_cast<__m128i*>(counts);
  __m128i* c23 = reinterpret_cast<__m128i*>(counts + 2);
  _mm_storeu_si128(c01, _mm_add_epi64(_mm_loadu_si128(c01), s01));
  _mm_storeu_si128(c23, _mm_add_epi64(_mm_loadu_si128(c23), s23));
  counts[4] += static_cast<uint64_t>(_mm_cvtsi128_si64(s4));
}

__attribute__((target("avx2"))) void countAvx2(const unsigned char* p, size_t size,
                                               uint64_t counts[5]) {
  if (size < 16) {
    countScalar(p, size, counts);
  } else if (size < 32) {
    tally16(classify16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))), counts);
    const size_t rest = size - 16;
    if (rest > 0) {
      const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeepLast + 16 + rest));
      const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + size - 16));
      tally16(_mm_and_si128(classify16(last), keep), counts);
    }
  } else {
    // Spans of whole blocks, the last one possibly partial but ending at
    // size >= 32.
    for (size_t from = 0; from < size; from += kMaxBlocks * 32) {
      const size_t to = size - from > kMaxBlocks * 32 ? from + kMaxBlocks * 32 : size;
      countSpan(p, from, to, counts);
    }
  }
}

#undef GETCHAR_AVX2

#endif  // GETCHAR_AVX2_KERNEL

using Kernel = void (*)(const unsigned char*, size_t, uint64_t*);

Kernel chooseKernel() {
#ifdef GETCHAR_AVX2_KERNEL
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return countAvx2;
#endif
  return countScalar;
}

// The first call picks the kernel for this processor. Constant-initialised,
// so it is valid even during the static initialisation of other files.
void chooseAndCount(const unsigned char* p, size_t size, uint64_t counts[5]);
std::atomic<Kernel> activeKernel{chooseAndCount};

void chooseAndCount(const unsigned char* p, size_t size, uint64_t counts[5]) {
  const Kernel kernel = chooseKernel();
  activeKernel.store(kernel, std::memory_order_relaxed);
  kernel(p, size, counts);
}

}  // namespace

const uint8_t kResidueGroupOf[256] = {
#define G(c) groupOf(c)
#define ROW(b) G(b), G(b + 1), G(b + 2), G(b + 3), G(b + 4), G(b + 5), G(b + 6), G(b + 7)
    ROW(0),   ROW(8),   ROW(16),  ROW(24),  ROW(32),  ROW(40),  ROW(48),  ROW(56),
    ROW(64),  ROW(72),  ROW(80),  ROW(88),  ROW(96),  ROW(104), ROW(112), ROW(120),
    ROW(128), ROW(136), ROW(144), ROW(152), ROW(160), ROW(168), ROW(176), ROW(184),
    ROW(192), ROW(200), ROW(208), ROW(216), ROW(224), ROW(232), ROW(240), ROW(248),
#undef ROW
#undef G
};

void countResidueGroups(const char* data, size_t size, uint64_t counts[5]) {
  activeKernel.load(std::memory_order_relaxed)(reinterpret_cast<const unsigned char*>(data), size,
                                               counts);
}
