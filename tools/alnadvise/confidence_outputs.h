// The chosen alignment's column confidence (advice::Confidence) as files:
// columns.tsv always when it is known, and on request the alignment masked
// (--mask) or trimmed (--trim) at a threshold.
//
// A column or residue without a residue pair has no confidence and counts as
// below every threshold: a lone residue is masked, a column of one residue
// or none is trimmed.
#ifndef ALNADVISE_CONFIDENCE_OUTPUTS_H
#define ALNADVISE_CONFIDENCE_OUTPUTS_H

#include <string>
#include <vector>

#include "advice/advice.h"

namespace alnadvise {

extern const char* const kColumnTable;  // "columns.tsv"
extern const char* const kMaskedFile;   // "best.masked.fasta"
extern const char* const kTrimmedFile;  // "best.trimmed.fasta"
extern const char* const kTrimmedMap;   // "best.trimmed.columns.tsv"

// "column\tresidues\tconfidence\tpp": one line a column, numbered from 1;
// the confidence to three decimals ("NA" without pairs) and its Stockholm
// character (scoring::probabilityCharacter).
std::string columnTable(const advice::Confidence& confidence, const std::vector<std::string>& rows);

// Residues of confidence at least threshold in upper case, the others in
// lower case; gaps as they are.
std::vector<std::string> maskedRows(const std::vector<std::string>& rows,
                                    const advice::Confidence& confidence, double threshold);

// The columns of confidence at least threshold, in order; *kept gets their
// numbers in the full alignment (from 1).
std::vector<std::string> trimmedRows(const std::vector<std::string>& rows,
                                     const advice::Confidence& confidence, double threshold,
                                     std::vector<int>* kept);

// columns.tsv when the confidence is known; best.masked.fasta with mask >=
// 0, best.trimmed.fasta and its column map with trim >= 0. Each file is
// removed first, so that none is left from an earlier advice. False, with
// *error, when one could not be written, or when a mask or trim was asked
// for and the confidence is not known. *warning (else empty) names the rows
// the trim left without a residue, which tree programs refuse.
bool writeConfidenceOutputs(const std::string& folder, const std::vector<std::string>& names,
                            const std::vector<std::string>& rows,
                            const advice::Confidence& confidence, double mask, double trim,
                            std::string* warning, std::string* error);

// The rows that hold gaps only.
int rowsWithoutResidue(const std::vector<std::string>& rows);

}  // namespace alnadvise

#endif
