// The declared space of aligner options the search draws from (the JSON file
// data/option-space.json). Per aligner kind, a list of genes; a gene is a
// list of alleles, each an options text, one of them the program's default
// (the empty text). A configuration's options are the texts of its kind's
// genes that differ from their default, in the order of the file.
//
// File format:
//   {"aligners": [{"aligner": "MAFFT", "genes": [GENE, ...]}, ...]}: each of
//   the five classic aligners once; the others (PROBCONS, CLUSTALO, MUSCLE5,
//   PROBALIGN) at most once, a missing one having no genes
//   categorical GENE: {"name": "strategy", "values": ["", "--retree 1", ...]}
//     ("" is the default and must be present once)
//   numeric GENE: {"name": "gap open", "option": "--op", "separator": " ",
//                  "values": [0.5, 1, 2] or "min": 0.5, "max": 3, "step": 0.5,
//                  "default": 1.53}
//     text "<option><separator><value>"; the default value (added to the
//     values when missing) writes nothing; without "default" an allele that
//     writes nothing comes first. "separator" is " " unless given.
// Options texts go to the shell unquoted and into ';'-separated tables and
// tab-separated runs: quotes, shell operators, ';', '#', tabs and line ends
// are refused when the file is read.
#ifndef TRAINING_OPTION_SPACE_H
#define TRAINING_OPTION_SPACE_H

#include <string>
#include <vector>

#include "runs/aligner_names.h"

namespace training {

struct Gene {
  std::string name;
  std::vector<std::string> texts;  // per allele; texts[defaultAllele] is ""
  int defaultAllele = 0;
  // Numeric genes: alleles firstNumeric.. are values in ascending order, so
  // a mutation may step to a neighbour. -1 for categorical genes.
  int firstNumeric = -1;

  int alleles() const { return static_cast<int>(texts.size()); }
};

class OptionSpace {
 public:
  // Genes of an aligner kind (0-4), in file order.
  const std::vector<Gene>& genes(int kind) const { return genes_[kind]; }
  // Genes of every kind side by side: kind k's genes start at offset(k).
  int offset(int kind) const { return offsets_[kind]; }
  int totalGenes() const { return offsets_[runs::kAlignerKinds]; }
  // Number of option values other than defaults, over all kinds.
  int nonDefaultValues() const;

  friend bool parseOptionSpace(const std::string& text, OptionSpace* out, std::string* error);

 private:
  std::vector<Gene> genes_[runs::kAlignerKinds];
  int offsets_[runs::kAlignerKinds + 1] = {};
};

// Parses the JSON text; fails with one line in *error naming the aligner and
// gene at fault.
bool parseOptionSpace(const std::string& text, OptionSpace* out, std::string* error);
bool loadOptionSpace(const std::string& path, OptionSpace* out, std::string* error);

// The text holds none of the characters refused in option texts (see
// above); otherwise *bad is the first one.
bool safeOptionText(const std::string& text, std::string* bad);

// A number as an option value: shortest plain decimal, never an exponent
// ("1.53", "0.05", "1000").
std::string formatOptionNumber(double value);

}  // namespace training

#endif
