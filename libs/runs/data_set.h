// The protein data set a user hands in: reading and checking it, and its
// copy under safe names for the aligners.
//
// Reading rules: a line starting with '>' opens a record; its text after '>'
// is the record's name, kept byte for byte (a trailing carriage return
// removed). Sequence lines lose blanks, tabs and carriage returns, and gaps
// ('-' and '.'), so an aligned FASTA file is accepted; any other byte that is
// not an ASCII letter is an error, except one '*' ending a record (the stop
// codon of a translated gene), which is dropped and counted. Blank lines are ignored; other text before
// the first header means the file is not FASTA.
#ifndef RUNS_DATA_SET_H
#define RUNS_DATA_SET_H

#include <string>
#include <vector>

#include "runs/alphabet.h"

namespace runs {

struct DataSet {
  std::string path;
  std::vector<std::string> names;     // original names, record order
  std::vector<std::string> residues;  // original residues, case kept
  size_t distinctSequences = 0;       // residues compared case-insensitively
  size_t stopsDropped = 0;            // records whose trailing '*' was dropped
  Alphabet alphabet = Alphabet::kProtein;  // set by chooseAlphabet

  size_t size() const { return names.size(); }
  double meanLength() const;
  size_t longest() const;  // residues of the longest record
};

// Reads and checks the file. Fails with one line in *error (no line end) on:
// a file that cannot be opened or read (a read error is never taken for the
// end), a folder, an empty file, text that is not FASTA, no records, a record
// without a name or without residues, a byte that is not a residue letter,
// two records of one name, fewer than two records, or fewer than two
// distinct sequences. Identical sequences under different names are kept.
bool readDataSet(const std::string& path, DataSet* out, std::string* error);

// Sets data->alphabet from --alphabet's text: "auto" detects it from the
// letters (alphabet.h), "protein", "dna" or "rna" is taken as said. False
// with *error on any other text.
bool chooseAlphabet(const std::string& choice, DataSet* data, std::string* error);

// "s1", "s2", ... for record index 0, 1, ...
std::string safeName(size_t index);

// Writes the data set as FASTA under the safe names, 60 residues a line.
bool writeSafeCopy(const DataSet& data, const std::string& path, std::string* error);

}  // namespace runs

#endif
