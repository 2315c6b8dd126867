// Min-max normalisation of the feature table against its max and min rows.
#include "getChar.h"

void normalizeData() {
  if (OF.n < 1) return;
  double lower[10];
  double range[10];
  for (int k = 0; k < 10; ++k) {
    lower[k] = OF.min.feature[k];
    range[k] = OF.max.feature[k] - OF.min.feature[k];
  }
  // No guard on a zero range: such a feature becomes NaN (or an infinity),
  // and the distance searches then never pick a row by it.
  for (int r = 0; r < OF.n && r < kFeatureRows; ++r) {
    for (int k = 0; k < 10; ++k) {
      OF.rows[r].feature[k] = (OF.rows[r].feature[k] - lower[k]) / range[k];
    }
  }
}
