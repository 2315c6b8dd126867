#include "features/residue_groups.h"

namespace {

constexpr uint8_t groupOf(unsigned char c) {
  switch (c) {
    case 'R': case 'H': case 'K': return 0;
    case 'D': case 'E': return 1;
    case 'S': case 'T': case 'N': case 'Q': return 2;
    case 'C': case 'U': case 'G': case 'P': return 3;
    case 'A': case 'V': case 'I': case 'L': case 'M': case 'F': case 'Y': case 'W': return 4;
    default: return 5;
  }
}


}  // namespace

const uint8_t kResidueGroupOf[256] = {
#define G(c) groupOf(c)
#define ROW(b) G(b), G(b + 1), G(b + 2), G(b + 3), G(b + 4), G(b + 5), G(b + 6), G(b + 7)
    ROW(0),   ROW(8),   ROW(16),  ROW(24),  ROW(32),  ROW(40),  ROW(48),  ROW(56),
    ROW(64),  ROW(72),  ROW(80),  ROW(88),  ROW(96),  ROW(104), ROW(112), ROW(120),
    ROW(128), ROW(136), ROW(144), ROW(152), ROW(160), ROW(168), ROW(176), ROW(184),
    ROW(192), ROW(200), ROW(208), ROW(216), ROW(224), ROW(232), ROW(240), ROW(248),
#undef ROW
#undef G
};

void countResidueGroups(const char* data, size_t size, uint64_t counts[5]) {
  // Four interleaved tallies avoid the store-to-load stall of incrementing
  // the same counter on consecutive equal bytes.
  uint64_t tally[4][6] = {};
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    ++tally[0][kResidueGroupOf[p[i]]];
    ++tally[1][kResidueGroupOf[p[i + 1]]];
    ++tally[2][kResidueGroupOf[p[i + 2]]];
    ++tally[3][kResidueGroupOf[p[i + 3]]];
  }
  for (; i < size; ++i) ++tally[0][kResidueGroupOf[p[i]]];
  for (int g = 0; g < 5; ++g) counts[g] += tally[0][g] + tally[1][g] + tally[2][g] + tally[3][g];
}
