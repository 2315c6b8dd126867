// The operations under measurement and their peers, on one common input:
// seeded random protein strings, unrelated or one mutated from the other.
#ifndef GETCHAR_BENCH_COMPARE_PEERS_H
#define GETCHAR_BENCH_COMPARE_PEERS_H

#include <cstddef>
#include <string>
#include <vector>

// A protein string of the 20 standard residue letters; the same seed and
// length give the same string.
std::string randomProtein(size_t length, unsigned seed);

// A copy of `a` with each position mutated with probability percent / 100:
// substituted by another residue, preceded by an inserted residue, or
// deleted, each a third of the time. The same arguments give the same string.
std::string mutatedProtein(const std::string& a, int percent, unsigned seed);

// The pairs compared by edit distance: "unrelated" (two random proteins) or
// "related1", "related10", "related30" (a random protein and a copy with 1,
// 10 or 30 % of its positions mutated). Throws std::invalid_argument for any
// other kind.
struct ProteinPair {
  std::string a, b;
};
ProteinPair proteinPair(const std::string& kind, size_t length);
const std::vector<std::string>& pairKinds();

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
