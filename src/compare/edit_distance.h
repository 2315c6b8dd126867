// Edit distance between two byte strings, and the bounded score derived from
// it.
#ifndef GETCHAR_EDIT_DISTANCE_H
#define GETCHAR_EDIT_DISTANCE_H

#include <cstddef>
#include <cstdint>

// Levenshtein distance (insertion, deletion and substitution cost 1) between
// a[0..aLength) and b[0..bLength), bytes compared exactly. Bit-parallel: time
// grows with aLength * bLength / 64, memory with the shorter length only.
uint64_t editDistance(const char* a, size_t aLength, const char* b, size_t bLength);

// Score of a normalised similarity s in [0, 1]: -ln(1 - s + 0.2 s^2), which
// runs from -0 at s = 0 up to ln 5 at s = 1.
double similarityScore(double similarity);

#endif
