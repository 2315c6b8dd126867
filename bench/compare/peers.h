// The operations under measurement and their peers, on one common input:
// seeded random protein strings.
#ifndef GETCHAR_BENCH_COMPARE_PEERS_H
#define GETCHAR_BENCH_COMPARE_PEERS_H

#include <cstddef>
#include <string>
#include <vector>

// A protein string of the 20 standard residue letters; the same seed and
// length give the same string.
std::string randomProtein(size_t length, unsigned seed);

// Edit distance of a and b by edlib (global, distance only).
int edlibDistance(const std::string& a, const std::string& b);

// Global alignment with traceback by parasail: +1/-1 residue matrix, gap
// open 1 and extend 1 (1 per gap position). With withCigar the alignment is
// also read off the trace, as NeedlemanWunsch does; returns the score.
int parasailAlign(const std::string& variant, const std::string& a, const std::string& b,
                  bool withCigar);

// The parasail variants tried.
const std::vector<std::string>& parasailVariants();

#endif
