// Per-record statistics shared by both extractions.
#include <cstdint>

#include "features/residue_groups.h"
#include "getChar.h"

void featuresSequence(std::string sequence, int index, double& sumLength, double& sumSquares,
                      int& maxLength, int& minLength, int& maxIndex, int& minIndex,
                      double* groupCounts) {
  const int length = static_cast<int>(sequence.size());
  sumLength += length;
  // Squared in 64 bits: a 32-bit square overflows above 46,340 residues.
  sumSquares += static_cast<double>(static_cast<int64_t>(length) * length);
  if (length > maxLength) {  // ties keep the earlier record
    maxLength = length;
    maxIndex = index;
  }
  if (length <= minLength) {  // ties move to the later record
    minLength = length;
    minIndex = index;
  }
  uint64_t counts[5] = {0, 0, 0, 0, 0};
  countResidueGroups(sequence.data(), sequence.size(), counts);
  for (int g = 0; g < 5; ++g) groupCounts[g] += static_cast<double>(counts[g]);
}
