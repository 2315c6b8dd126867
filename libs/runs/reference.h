// The user's reference alignment (--ref): read with the scorer's reader,
// matched to the data set, and copied under the safe names for the runner.
#ifndef RUNS_REFERENCE_H
#define RUNS_REFERENCE_H

#include <string>
#include <vector>

#include "runs/data_set.h"

namespace runs {

struct Reference {
  std::string path;
  std::vector<size_t> recordOf;   // per reference row: its data set record
  std::vector<std::string> rows;  // the rows, gaps as '-', case kept
};

// Reads aligned FASTA or MSF and matches each reference name to a data set
// name: exactly, or else by the data set name's first word when exactly one
// record has it (MSF keeps only the first word of a name). Fails with one
// line in *error on: a file in neither format, a reference name that matches
// no record, two reference rows of one record, residues that differ from the
// record's (gaps removed, case ignored), fewer than two shared sequences.
bool readReference(const std::string& path, const DataSet& data, Reference* out,
                   std::string* error);

// Writes the reference rows as aligned FASTA under the safe names.
bool writeSafeReference(const Reference& reference, const std::string& path, std::string* error);

}  // namespace runs

#endif
