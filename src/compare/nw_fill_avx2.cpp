// The move fill with AVX2: 32 cells of an anti-diagonal at a time. Scores are
// kept in 16 bits modulo 2^16. Only differences between neighbouring cells,
// which never exceed a few units, are compared, so the wrap-around never
// changes a decision and sequences of any length are handled.
#include "compare/nw_moves.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <vector>

namespace {

// Room for the last vector of an anti-diagonal to run past its end.
const size_t kPadding = 64;

__attribute__((target("avx2"))) inline void scoreHalfChunk(
    const unsigned char* aAt, const unsigned char* bAt, const int16_t* before,
    const int16_t* previous, int16_t* current, __m256i& diagonalAttains, __m256i& leftAttains) {
  const __m256i one = _mm256_set1_epi16(1);
  __m128i equalBytes = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(aAt)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(bAt)));
  __m256i equal = _mm256_cvtepi8_epi16(equalBytes);  // -1 where equal
  // up = previous[i - 1] - 1; relative to it the diagonal candidate is
  // before[i - 1] + weight - previous[i - 1] + 1 with weight = -1 - 2 * equal,
  // i.e. before[i - 1] - previous[i - 1] - 2 * equal.
  __m256i up = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(previous - 1));
  __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(previous));
  __m256i diagonal = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(before - 1));
  __m256i diagonalGain =
      _mm256_sub_epi16(_mm256_sub_epi16(diagonal, up), _mm256_add_epi16(equal, equal));
  __m256i leftGain = _mm256_sub_epi16(left, up);
  __m256i gain = _mm256_max_epi16(_mm256_max_epi16(diagonalGain, leftGain), _mm256_setzero_si256());
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(current),
                      _mm256_add_epi16(_mm256_sub_epi16(up, one), gain));
  diagonalAttains = _mm256_cmpeq_epi16(diagonalGain, gain);
  leftAttains = _mm256_cmpeq_epi16(leftGain, gain);
}

// One bit per 16-bit lane of two vectors, lane order kept.
__attribute__((target("avx2"))) inline uint32_t laneBits(__m256i low, __m256i high) {
  __m256i packed = _mm256_packs_epi16(low, high);
  packed = _mm256_permute4x64_epi64(packed, 0xD8);
  return uint32_t(_mm256_movemask_epi8(packed));
}

}  // namespace

bool avx2Available() { return __builtin_cpu_supports("avx2"); }

__attribute__((target("avx2"))) void fillMovesAvx2(const std::string& a, const std::string& b,
                                                   MoveTable& moves) {
  const size_t m = a.size(), n = b.size();
  // a as is and b reversed, so that along an anti-diagonal both advance.
  std::vector<unsigned char> down(a.begin(), a.end());
  down.resize(m + kPadding);
  std::vector<unsigned char> across(n + kPadding);
  for (size_t j = 0; j < n; ++j) across[n - 1 - j] = b[j];
  std::vector<int16_t> before(m + kPadding), previous(m + kPadding), current(m + kPadding);
  previous[0] = -1;
  previous[1] = -1;
  for (size_t d = 2; d <= m + n; ++d) {
    if (d <= n) current[0] = int16_t(-d);
    const size_t first = moves.firstRow(d), last = moves.lastRow(d);
    uint32_t* chunk = moves.chunks(d);
    for (size_t i = first; i <= last; i += MoveTable::kChunkCells) {
      // Cell (i, j) compares a[i - 1] with b[j - 1] = across[n - d + i].
      __m256i diagonalLow, leftLow, diagonalHigh, leftHigh;
      scoreHalfChunk(&down[i - 1], &across[n - d + i], &before[i], &previous[i], &current[i],
                     diagonalLow, leftLow);
      scoreHalfChunk(&down[i + 15], &across[n - d + i + 16], &before[i + 16], &previous[i + 16],
                     &current[i + 16], diagonalHigh, leftHigh);
      *chunk++ = laneBits(diagonalLow, diagonalHigh);
      *chunk++ = laneBits(leftLow, leftHigh);
    }
    if (d <= m) current[d] = int16_t(-d);
    before.swap(previous);
    previous.swap(current);
  }
}

#else

bool avx2Available() { return false; }

void fillMovesAvx2(const std::string& a, const std::string& b, MoveTable& moves) {
  fillMovesPortable(a, b, moves);
}

#endif
