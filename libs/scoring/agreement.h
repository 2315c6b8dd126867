// Agreement between two alignments of the same sequences, without a
// reference: the share of the residue pairs that one alignment aligns (two
// residues in one column) that the other also aligns. It is Q of the second
// alignment scored with the first as reference, every residue counted
// whatever its case. Not symmetric: an alignment that aligns few pairs can
// agree fully with one that aligns many.
#ifndef SCORING_AGREEMENT_H
#define SCORING_AGREEMENT_H

#include <string>
#include <vector>

#include "scoring/alignment.h"

namespace scoring {

// share(x, y): of the pairs x aligns, the fraction y aligns too. Sequences
// are matched by exact name; both alignments must hold the same names, each
// once, with the same residues (gaps removed, case ignored). Fails with
// *error set when they do not, and when x aligns no pair at all (the share
// is then undefined).
bool agreementShare(const Alignment& x, const Alignment& y, double* share, std::string* error);

// share(i, j) for every ordered pair of alignments given as rows per record
// (names[k] names row k of each; null: no alignment). NaN where it is
// undefined: on the diagonal, where either alignment is missing or its rows
// do not make one, and where agreementShare fails. Callers skip NaN pairs.
std::vector<std::vector<double>> agreementMatrix(
    const std::vector<std::string>& names,
    const std::vector<const std::vector<std::string>*>& rows);

// The same matrix grown: *shares holds it for the first k alignments of
// rows; only the pairs with an alignment from k on are computed.
void extendAgreementMatrix(const std::vector<std::string>& names,
                           const std::vector<const std::vector<std::string>*>& rows,
                           std::vector<std::vector<double>>* shares);

// An alignment built from rows the caller holds: names[i] with rows[i].
// Rows must have the same length (checked: false and *error otherwise).
bool alignmentFromRows(const std::vector<std::string>& names, const std::vector<std::string>& rows,
                       Alignment* out, std::string* error);

}  // namespace scoring

#endif
