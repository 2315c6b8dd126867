// Identity of two sequences after global alignment.
#include <string>

#include "compare/nw_moves.h"
#include "getChar.h"

int weightNW(std::string a, std::string b, int i, int j) {
  // Checked access, i first: a position outside its string throws
  // std::out_of_range. Positions below 1 wrap to huge indices and throw too.
  char x = a.at(size_t(i) - 1);
  char y = b.at(size_t(j) - 1);
  return x == y ? 1 : -1;
}

double NeedlemanWunsch(std::string a, std::string b) {
  AlignmentSummary alignment = alignGlobally(a, b);
  // Two empty sequences give 0 / 0, not a number.
  return double(alignment.identities) / double(alignment.columns);
}
