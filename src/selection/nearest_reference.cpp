// Finds, for each feature group, the reference row nearest to row 0.
#include "getChar.h"
#include "selection/feature_groups.h"

namespace {
// Start distance of a group; a group that keeps it has no pick.
const double kNoDistance = 9999999.0;
}  // namespace

void getNearestReference() {
  iA = iB = iC = iD = 1;
  distA = distB = distC = kNoDistance;
  const double* x = OF.rows[0].feature;
  for (int i = 1; i < OF.n && i < kFeatureRows; ++i) {
    const double* y = OF.rows[i].feature;
    const double dA = groupEuclidean(x, y, kFeatureGroups[0]);
    const double dB = groupEuclidean(x, y, kFeatureGroups[1]);
    const double dC = groupEuclidean(x, y, kFeatureGroups[2]);
    // A row is taken for at most one group, A first; strict tests keep the
    // earlier row on ties, and a NaN distance never wins.
    if (dA < distA) {
      iA = i;
      distA = dA;
    } else if (dB < distB) {
      if (i != iA) {
        iB = i;
        distB = dB;
      }
    } else if (dC < distC && i != iA && i != iB) {
      iC = i;
      distC = dC;
    }
  }
}
