// Ordering of alignment results for qsort: larger valueA + valueB first, and
// between equal sums the larger valueC first, so both keys sort best first.
#include "getChar.h"

namespace {
// 1 when b is greater, -1 when a is, 0 when equal or not ordered (NaN).
int largerFirst(double a, double b) {
  if (b > a) return 1;
  if (a > b) return -1;
  return 0;
}
}  // namespace

int compareMyType(const void* a, const void* b) {
  const t_Alignments& x = *static_cast<const t_Alignments*>(a);
  const t_Alignments& y = *static_cast<const t_Alignments*>(b);
  const double sx = x.valueA + x.valueB;
  const double sy = y.valueA + y.valueB;
  if (sx == sy) return largerFirst(x.valueC, y.valueC);
  // Different or not ordered: a NaN sum gives 0 without looking at valueC.
  return largerFirst(sx, sy);
}
