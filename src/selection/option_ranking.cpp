// Ranks the three per-group nearest references by distance into opt.
#include "getChar.h"

namespace {

// Added to a distance once its group has been ranked; the start distance of
// the nearest-reference search, larger than any real group distance.
const double K = 9999999.0;

double smaller(double x, double y) { return x < y ? x : y; }

}  // namespace

void setOptions() {
  double a = distA, b = distB, c = distC;
  int raisesA = 0, raisesB = 0, raisesC = 0;
  for (int j = 0; j < 3; ++j) {
    // A NaN distance can leave no value equal to the minimum: the place is
    // then empty rather than left over from an earlier call.
    opt[j] = 0;
    const double m = a < b ? smaller(a, c) : smaller(b, c);
    // Every value equal to the minimum is raised; on ties the last of A, B, C
    // names the place.
    if (a == m) {
      a += K;
      ++raisesA;
      opt[j] = iA;
    }
    if (b == m) {
      b += K;
      ++raisesB;
      opt[j] = iB;
    }
    if (c == m) {
      c += K;
      ++raisesC;
      opt[j] = iC;
    }
  }
  // Undo every raise, so that a distance raised in several passes (equal
  // distances) does not come back K too high. A single raise rounds a small
  // distance to the spacing of doubles near K (2^-29).
  for (; raisesA > 0; --raisesA) a -= K;
  for (; raisesB > 0; --raisesB) b -= K;
  for (; raisesC > 0; --raisesC) c -= K;
  distA = a;
  distB = b;
  distC = c;

  // A row ranked twice keeps only its first place; 0 marks an empty place.
  if (opt[0] == opt[1]) opt[1] = 0;
  if (opt[0] == opt[2]) opt[2] = 0;
  if (opt[1] == opt[2]) opt[2] = 0;
}
