// Edit distance between two byte strings, and the bounded score derived from
// it.
#ifndef GETCHAR_EDIT_DISTANCE_H
#define GETCHAR_EDIT_DISTANCE_H

#include <cstddef>
#include <cstdint>

#include "compare/myers_blocks.h"

// Levenshtein distance (insertion, deletion and substitution cost 1) between
// a[0..aLength) and b[0..bLength), bytes compared exactly; either string may
// be empty. The result is exact for any two strings.
//
// Myers' bit-vector algorithm (64 rows of the shorter string per machine
// word; with AVX2, 8 columns at a time) over Ukkonen's band: only the cells
// that could lie on a path cheaper than the best one found are computed.
// With m <= n the two lengths and d the distance:
// - time: when d <= n - m + 192, one pass of at most about
//   n * min(m, n - m + 256) / 64 word steps. Otherwise a few narrow passes
//   of 3 or 4 words per column, then one over the band: about n * d / 120
//   word steps for related strings of similar lengths, never much beyond the
//   full matrix (n * m / 64), and about two thirds of it for unrelated
//   strings.
// - memory: (s + 3) * m / 8 bytes, s the number of distinct bytes of the
//   shorter string, held for the call only.
// `kernel` chooses the column step; every one gives the same result.
uint64_t editDistance(const char* a, size_t aLength, const char* b, size_t bLength,
                      myers::StripKernel kernel = myers::StripKernel::kFastest);

// Score of a normalised similarity s in [0, 1]: -ln(1 - s + 0.2 s^2), which
// runs from -0 at s = 0 up to ln 5 at s = 1.
double similarityScore(double similarity);

#endif
