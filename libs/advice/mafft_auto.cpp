#include "advice/mafft_auto.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "getChar.h"

namespace advice {

const char kMafftAutoOption[] = "--auto";

namespace {

std::vector<std::string> sortedWords(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  std::string w;
  while (in >> w) words.push_back(w);
  std::sort(words.begin(), words.end());
  return words;
}

}  // namespace

MafftAutoStrategy mafftAutoStrategy(int n, double longest) {
  if (longest < 3000 && n < 100)
    return {"L-INS-i", "--localpair --maxiterate 1000", "mafft-consistency"};
  if (longest < 1000 && n < 200)
    return {"L-INS-i, two iterations", "--localpair --maxiterate 2", "mafft-consistency"};
  if (longest < 10000 && n < 500)
    return {"FFT-NS-i", "--maxiterate 2", "mafft-iterative"};
  if (n < 20000) return {"FFT-NS-2", "", "mafft-progressive"};
  if (n < 200000) return {"memory-saving guide tree", "--memsavetree", "mafft-memsave"};
  return {"PartTree", "--parttree", "mafft-parttree"};
}

bool isMafftAuto(const runs::Configuration& c) {
  if (c.kind != MAFFT) return false;
  for (const std::string& w : sortedWords(c.options))
    if (w == kMafftAutoOption) return true;
  return false;
}

bool sameOptionWords(const std::string& a, const std::string& b) {
  return sortedWords(a) == sortedWords(b);
}

}  // namespace advice
