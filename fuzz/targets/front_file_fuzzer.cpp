// The front file. The switches of the three aligners come from the input's
// size, so that every input fixes them and all eight settings are reached.
#include <string>

#include "fuzz_support.h"
#include "getChar.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceLibraryMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, "front.txt");
  FRONT = t_Front();
  noMAFFT = size & 1;
  noKALIGN = (size >> 1) & 1;
  noMUSCLE = (size >> 2) & 1;
  const int n = readFront(path);

  fuzz::check(n == FRONT.n && n >= 0 && n <= kFrontEntries, "entry count");
  for (int k = 0; k < n; ++k) {
    const int kind = FRONT.entry[k].alignerKind;
    fuzz::check(kind != MUSCLE, "a MUSCLE line counted");
    fuzz::check(!(kind == MAFFT && noMAFFT) && !(kind == KALIGN && noKALIGN),
                "a switched-off aligner counted");
  }
  // A best index names a counted entry or the MUSCLE entry after them; the
  // smallest third objective is -1 until one is found.
  for (int best : {FRONT.iBest0, FRONT.iBest1, FRONT.iBestSum}) {
    fuzz::check(best >= 0 && best <= n && best < kFrontEntries, "best index");
  }
  fuzz::check(FRONT.iBest2 >= -1 && FRONT.iBest2 <= n && FRONT.iBest2 < kFrontEntries, "iBest2");
  return 0;
}
