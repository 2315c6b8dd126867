// The check of an alignment an aligner left: does it hold exactly the data
// set's sequences and residues?
#ifndef RUNS_ALIGNMENT_CHECK_H
#define RUNS_ALIGNMENT_CHECK_H

#include <string>
#include <vector>

#include "runs/data_set.h"

namespace runs {

// Checks the alignment an aligner left at path against the data set: the
// names s1..sN, each once; each row's residues (gaps removed) those of the
// record, case ignored, except where the record holds a letter outside the
// 20 standard amino acids (aligners rewrite B, J, O, U, X, Z); rows of one
// length. On success *rows holds, per record, the row with the original
// residues put back and gaps as '-'. Fails with the reason in *why.
bool validateAlignment(const std::string& path, const DataSet& data, std::vector<std::string>* rows,
                       std::string* why);

}  // namespace runs

#endif
