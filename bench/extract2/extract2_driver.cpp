// Extracts the feature row of one data set and prints it with the record
// count, so a run can be timed and checked against other tools.
//
// Usage: extract2_driver <data set>
#include <cstdio>

#include "getChar.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data set>\n", argv[0]);
    return 2;
  }
  if (extractFeatures2(argv[1]) != 0) return 1;
  const t_DataSet& row = OF.rows[OF.n - 1];
  std::printf("%s records=%d", row.name.c_str(), nSequencesInput);
  for (double f : row.feature) std::printf(" %.6g", f);
  std::printf("\n");
  return 0;
}
