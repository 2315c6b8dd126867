#include "runs/aligner_names.h"

#include <cctype>

#include "getChar.h"

namespace runs {

namespace {

struct Spelling {
  const char* text;
  int kind;
};

const Spelling kSpellings[] = {
    {"clustalw", CLUSTALW},
    {"clustalw2", CLUSTALW},
    {"clustal", CLUSTALW},
    {"dialigntx", DIALIGNTX},
    {"dialign-tx", DIALIGNTX},
    {"dialign_tx", DIALIGNTX},
    {"dialign", DIALIGNTX},
    {"kalign", KALIGN},
    {"kalign2", KALIGN},
    {"kalign3", KALIGN},
    {"mafft", MAFFT},
    {"muscle", MUSCLE},
    {"muscle3", MUSCLE},
    {"muscle3.8", MUSCLE},
    {"probcons", PROBCONS},
    {"clustalo", CLUSTALO},
    {"clustal-omega", CLUSTALO},
    {"clustalomega", CLUSTALO},
    {"muscle5", MUSCLE5},
    {"probalign", PROBALIGN},
};

std::string lowerTrimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  std::string out;
  for (size_t i = begin; i < end; ++i)
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  return out;
}

}  // namespace

const char* alignerName(int kind) {
  switch (kind) {
    case CLUSTALW:
      return "CLUSTALW";
    case DIALIGNTX:
      return "DIALIGNTX";
    case KALIGN:
      return "KALIGN";
    case MAFFT:
      return "MAFFT";
    case MUSCLE:
      return "MUSCLE";
    case PROBCONS:
      return "PROBCONS";
    case CLUSTALO:
      return "CLUSTALO";
    case MUSCLE5:
      return "MUSCLE5";
    case PROBALIGN:
      return "PROBALIGN";
    case kMergeKind:
      return "MERGE";
    default:
      return "?";
  }
}

bool parseAlignerName(const std::string& text, int* kind) {
  const std::string key = lowerTrimmed(text);
  for (const Spelling& s : kSpellings) {
    if (key == s.text) {
      *kind = s.kind;
      return true;
    }
  }
  return false;
}

bool parseAlignerList(const std::string& text, std::vector<int>* kinds, std::string* error) {
  kinds->clear();
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string name = text.substr(start, comma == std::string::npos ? comma : comma - start);
    int kind = 0;
    if (!parseAlignerName(name, &kind)) {
      *error = "unknown aligner '" + name +
               "' (choose from clustalw, dialign-tx, kalign, mafft, muscle, probcons, clustalo, "
               "muscle5, probalign)";
      return false;
    }
    bool seen = false;
    for (int k : *kinds) seen = seen || k == kind;
    if (!seen) kinds->push_back(kind);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

const char* alignerProgram(int kind) {
  switch (kind) {
    case CLUSTALW:
      return "bin/clustalw2";
    case DIALIGNTX:
      return "bin/dialign-tx";
    case KALIGN:
      return "bin/kalign2";
    case MAFFT:
      return "bin/mafft";
    case MUSCLE:
      return "bin/muscle3.8";
    case PROBCONS:
      return "bin/probcons";
    case CLUSTALO:
      return "bin/clustalo";
    case MUSCLE5:
      return "bin/muscle5";
    case PROBALIGN:
      return "bin/probalign";
    case kMergeKind:
      return "bin/t_coffee";
    default:
      return "";
  }
}

}  // namespace runs
