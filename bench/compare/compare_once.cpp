// Runs one comparison and prints its result, so that a process holds exactly
// one call: compare_once OPERATION LENGTH [KIND], OPERATION one of
// levenshtein, edlib, nw, or parasail_VARIANT (the trace table only), KIND a
// pair kind of peers.h (default unrelated).
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "getChar.h"
#include "peers.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: compare_once OPERATION LENGTH [KIND]\n");
    return 2;
  }
  std::string operation = argv[1];
  size_t length = std::strtoul(argv[2], nullptr, 10);
  ProteinPair pair;
  try {
    pair = proteinPair(argc == 4 ? argv[3] : "unrelated", length);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  const std::string& a = pair.a;
  const std::string& b = pair.b;
  if (operation == "levenshtein") {
    std::printf("%.17g\n", levenshtein(a, b));
  } else if (operation == "edlib") {
    std::printf("%d\n", edlibDistance(a, b));
  } else if (operation == "nw") {
    std::printf("%.17g\n", NeedlemanWunsch(a, b));
  } else if (operation.compare(0, 9, "parasail_") == 0) {
    std::printf("%d\n", parasailAlign(operation.substr(9), a, b, false));
  } else {
    std::fprintf(stderr, "unknown operation %s\n", operation.c_str());
    return 2;
  }
  return 0;
}
