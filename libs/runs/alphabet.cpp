#include "runs/alphabet.h"

#include <cstring>

namespace runs {

const char* alphabetName(Alphabet alphabet) {
  switch (alphabet) {
    case Alphabet::kDna:
      return "dna";
    case Alphabet::kRna:
      return "rna";
    default:
      return "protein";
  }
}

bool isNucleotide(Alphabet alphabet) { return alphabet != Alphabet::kProtein; }

bool parseAlphabetChoice(const std::string& text, bool* automatic, Alphabet* alphabet) {
  *automatic = text == "auto";
  if (*automatic) return true;
  for (Alphabet a : {Alphabet::kProtein, Alphabet::kDna, Alphabet::kRna}) {
    if (text == alphabetName(a)) {
      *alphabet = a;
      return true;
    }
  }
  return false;
}

AlphabetEvidence alphabetEvidence(const std::vector<std::string>& residues) {
  AlphabetEvidence e;
  for (const std::string& r : residues) {
    for (char c : r) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c < 'A' || c > 'Z') continue;
      ++e.letters;
      if (std::strchr("ACGTUN", c)) {
        ++e.nucleotides;
        e.t += c == 'T';
        e.u += c == 'U';
      } else if (!std::strchr("RYSWKMBDHV", c)) {
        e.aminoOnly = true;
      }
    }
  }
  return e;
}

Alphabet detectAlphabet(const AlphabetEvidence& e) {
  if (e.letters == 0 || e.aminoOnly || e.share() < kNucleotideShare) return Alphabet::kProtein;
  return e.u > 0 && e.t == 0 ? Alphabet::kRna : Alphabet::kDna;
}

}  // namespace runs
