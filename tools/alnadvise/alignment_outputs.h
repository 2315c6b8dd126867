// The best alignment in the formats --output-format names, beside
// best.fasta (scoring/alignment_formats.h writes the texts).
#ifndef ALNADVISE_ALIGNMENT_OUTPUTS_H
#define ALNADVISE_ALIGNMENT_OUTPUTS_H

#include <string>
#include <vector>

#include "advice/advice.h"
#include "scoring/alignment_formats.h"

namespace alnadvise {

// "clustal,stockholm,phylip,msf" in any order and number; "fasta" may be
// named too, as best.fasta is always written. Repeats count once. False,
// with a one-line *error, on an empty or unknown name.
bool parseOutputFormats(const std::string& list, std::vector<scoring::TextFormat>* formats,
                        std::string* error);

// "best.aln", "best.sto", "best.phy", "best.msf".
std::string bestFileName(scoring::TextFormat format);

// With PHYLIP, whose names are made safe for tree programs: the map back
// to the data set's headers.
extern const char* const kPhylipNameMap;  // "best.names.tsv"

// The map's text: a "name<TAB>header" line, then one line a row, in order
// (a tab or line end inside a header is written as a blank).
std::string phylipNameMap(const std::vector<std::string>& headers);

// Every best.<ext> of the list, and the name map with PHYLIP, each under a
// temporary name renamed once complete; best.sto holds the confidence, when
// known, as "#=GC PP_cons" and "#=GR <name> PP" lines. Returns false after
// the first one that could not be written, *error naming it.
bool writeBestFormats(const std::vector<scoring::TextFormat>& formats, const std::string& folder,
                      const std::vector<std::string>& names, const std::vector<std::string>& rows,
                      const advice::Confidence& confidence, std::string* error);

}  // namespace alnadvise

#endif
