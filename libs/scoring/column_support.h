// How far other alignments of the same sequences support each column and
// each residue of one alignment, without a reference.
//
// A column of the chosen alignment aligns every pair of its residues. Another
// alignment supports the share of those pairs that it aligns too (the
// column's part of agreementShare, agreement.h); over several others, each
// with a weight, a column's support is the weighted mean of their shares. A
// residue's support is the same over the pairs it makes in its column. A
// column with fewer than two residues, and a residue alone in its column,
// have no pairs and no support (NaN).
//
// No pair is enumerated: the residues of a column are grouped by the column
// they stand in in the other alignment, and a group of g residues holds
// g(g-1)/2 aligned pairs. Time is linear in the residues times the number of
// other alignments; memory linear in the residues.
#ifndef SCORING_COLUMN_SUPPORT_H
#define SCORING_COLUMN_SUPPORT_H

#include <string>
#include <vector>

namespace scoring {

struct ColumnSupport {
  std::vector<double> columns;                // per column of the chosen alignment
  std::vector<std::vector<double>> residues;  // per row, per residue (gaps left out)
};

// Rows are given per record, in the same order in every alignment; '-' and
// '.' are gaps, any other byte a residue, compared without case. False with
// *error when an alignment's rows differ in length, when another holds
// other residues for a record, or when the weights are not one per other
// alignment, each finite and at least 0, with a positive sum.
bool columnSupport(const std::vector<std::string>& chosen,
                   const std::vector<const std::vector<std::string>*>& others,
                   const std::vector<double>& weights, ColumnSupport* out, std::string* error);

}  // namespace scoring

#endif
