// The alphabet of a data set: protein, DNA or RNA, as the user says or as
// its letters show.
//
// Detection: a data set is nucleotide when at least 90% of its letters
// (case-insensitive) are A, C, G, T, U or N and every other letter is an
// IUPAC nucleotide ambiguity code (R Y S W K M B D H V). It is RNA when it
// has U and no T, DNA otherwise (all N is DNA). Any letter that codes only
// for amino acids (E F I L P Q X, ...) makes it protein, so a peptide is
// taken for DNA only when it is written in nucleotide letters alone.
#ifndef RUNS_ALPHABET_H
#define RUNS_ALPHABET_H

#include <string>
#include <vector>

namespace runs {

enum class Alphabet { kProtein, kDna, kRna };

// The share of A, C, G, T, U and N among the letters from which a data set
// counts as nucleotide.
const double kNucleotideShare = 0.9;

// "protein", "dna", "rna".
const char* alphabetName(Alphabet alphabet);
bool isNucleotide(Alphabet alphabet);

// "auto" (sets *automatic), "protein", "dna" or "rna"; false for any other.
bool parseAlphabetChoice(const std::string& text, bool* automatic, Alphabet* alphabet);

struct AlphabetEvidence {
  size_t letters = 0;
  size_t nucleotides = 0;  // A, C, G, T, U, N
  size_t t = 0, u = 0;
  bool aminoOnly = false;  // a letter that is no nucleotide code
  double share() const { return letters ? static_cast<double>(nucleotides) / letters : 0; }
};

AlphabetEvidence alphabetEvidence(const std::vector<std::string>& residues);
Alphabet detectAlphabet(const AlphabetEvidence& evidence);

}  // namespace runs

#endif
