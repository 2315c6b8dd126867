// The front file: candidate aligner configurations, one per line, 5
// ";"-separated fields (three objectives, aligner kind, aligner options).
#include <string>
#include <vector>

#include "getChar.h"
#include "selection/table_text.h"

namespace {

const size_t kFrontFields = 5;

bool switchedOff(int alignerKind) {
  return (alignerKind == MUSCLE && noMUSCLE == 1) || (alignerKind == KALIGN && noKALIGN == 1) ||
         (alignerKind == MAFFT && noMAFFT == 1);
}

// Running best values of one read; the tests are strict, so the earliest of
// equal entries keeps a best index.
struct BestValues {
  double best0 = -1e10;    // largest -objective[0]
  double best1 = -1e10;    // largest -objective[1]
  double best2 = 1e10;     // smallest objective[2]
  double bestSum = -1e10;  // largest -objective[0] - objective[1]
};

void updateBest(BestValues& best, int k) {
  const double* o = FRONT.entry[k].objective;
  if (-o[0] > best.best0) {
    best.best0 = -o[0];
    FRONT.iBest0 = k;
  }
  if (-o[1] > best.best1) {
    best.best1 = -o[1];
    FRONT.iBest1 = k;
  }
  if (o[2] < best.best2) {
    best.best2 = o[2];
    FRONT.iBest2 = k;
  }
  if (-o[0] - o[1] > best.bestSum) {
    best.bestSum = -o[0] - o[1];
    FRONT.iBestSum = k;
  }
}

}  // namespace

int readFront(std::string path) {
  TableReader table(path, kFrontFields);
  if (!table.opened()) return -1;
  // A read error leaves the table as it was, as a file that cannot be opened.
  const t_Front saved = FRONT;
  FRONT.n = 0;
  FRONT.iBest2 = -1;  // the other best indices keep their values until set
  BestValues best;
  std::vector<std::string> fields;
  while (table.next(fields)) {
    if (FRONT.n >= kFrontEntries) {
      table.reportFull("front table", "250 entries");
      break;
    }
    const int k = FRONT.n;
    t_FrontEntry& entry = FRONT.entry[k];
    for (int c = 0; c < 3; ++c) entry.objective[c] = fieldToDouble(fields[c]);
    entry.alignerKind = fieldToInt(fields[3]);
    // A switched-off aligner leaves its numbers in entry k for the next line
    // to overwrite, and nothing else.
    if (switchedOff(entry.alignerKind)) continue;
    entry.options = fields[4];
    updateBest(best, k);
    // A MUSCLE line is recorded but not counted: the next line reuses its
    // entry.
    if (entry.alignerKind != MUSCLE) ++FRONT.n;
  }
  if (table.failed()) {
    FRONT = saved;
    return -1;
  }
  return FRONT.n;
}
