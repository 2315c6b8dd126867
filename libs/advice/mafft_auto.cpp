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

namespace {

const MafftAutoStrategy kStrategies[] = {
    {"L-INS-i", "--localpair --maxiterate 1000", "mafft-consistency", "mafft-auto-linsi"},
    {"L-INS-i, two iterations", "--localpair --maxiterate 2", "mafft-consistency",
     "mafft-auto-linsi2"},
    {"FFT-NS-i", "--maxiterate 2", "mafft-iterative", "mafft-auto-fftnsi"},
    {"FFT-NS-2", "", "mafft-progressive", "mafft-auto-fftns2"},
    {"memory-saving guide tree", "--memsavetree", "mafft-memsave", "mafft-auto-memsave"},
    {"PartTree", "--parttree", "mafft-parttree", "mafft-auto-parttree"},
};

}  // namespace

MafftAutoStrategy mafftAutoStrategy(int n, double longest) {
  if (longest < 3000 && n < 100) return kStrategies[0];
  if (longest < 1000 && n < 200) return kStrategies[1];
  if (longest < 10000 && n < 500) return kStrategies[2];
  if (n < 20000) return kStrategies[3];
  if (n < 200000) return kStrategies[4];
  return kStrategies[5];
}

bool threadsKeepAlignment(const MafftAutoStrategy& strategy) {
  return std::string(strategy.options).find("--maxiterate") == std::string::npos;
}

std::string generalFamilyOfAuto(const std::string& autoFamily) {
  for (const MafftAutoStrategy& s : kStrategies)
    if (autoFamily == s.autoFamily) return s.family;
  return "";
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
