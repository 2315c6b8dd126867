// The distance in at most two passes over a band (see banded_myers.h). The
// first proves small distances; for the others it finds the cost of a good
// path by following the cheapest cells once its band runs dry. The second
// keeps only the cells that could lead to a cheaper path. Unlike doubling a
// guessed threshold, no pass beyond the second is ever needed (unrelated
// strings get one more narrow band, for a better path).
#include "compare/edit_distance.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "compare/banded_myers.h"

namespace {

// The first pass proves any distance up to this much over the difference of
// the lengths in a band of a few blocks.
const int64_t kFirstCeiling = 3 * myers::kWordBits;

// Blocks of the band that follows the cheapest cells when the first pass
// fails: the path sits in the middle one, with room on either side.
const size_t kFollowBlocks = 3;

}  // namespace

uint64_t editDistance(const char* a, size_t aLength, const char* b, size_t bLength,
                      myers::StripKernel kernel) {
  if (aLength == 0) return bLength;
  if (bLength == 0) return aLength;
  const unsigned char* ua = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* ub = reinterpret_cast<const unsigned char*>(b);
  // The distance is symmetric; the shorter string down the rows keeps the
  // masks and the band small.
  if (aLength > bLength) {
    std::swap(ua, ub);
    std::swap(aLength, bLength);
  }
  const int64_t lengthGap = int64_t(bLength - aLength);
  BandedMyers band(ua, aLength, ub, bLength, kernel);
  // The longer length is the cost of a path: substitutions, then gaps.
  BandedMyers::Result first = band.run(lengthGap + kFirstCeiling, int64_t(bLength), kFollowBlocks);
  // No path is cheaper than the difference of the lengths.
  if (first.bound <= first.exactBelow || first.bound == lengthGap) return uint64_t(first.bound);
  int64_t bound = first.bound;
  // Over unrelated strings the cheapest cells of a narrow band lead nowhere
  // in particular; the band that keeps near the diagonal to (m, n) finds a
  // path nearly as cheap as the best, for a fraction of the second pass.
  if (2 * (bound - lengthGap) > int64_t(aLength)) {
    const int64_t followAtOnce = -1;
    bound = std::min(
        bound, band.run(followAtOnce, bound, kFollowBlocks, BandedMyers::Follow::kTowardEnd).bound);
  }
  const int64_t noCeiling = std::numeric_limits<int64_t>::max();
  return uint64_t(band.run(noCeiling, bound, 0).bound);
}

double similarityScore(double similarity) {
  double s = similarity;
  return -std::log(1.0 - (s - 0.2 * s * s));
}
