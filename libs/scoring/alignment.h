// Multiple sequence alignments as read from aligned FASTA or MSF files.
#ifndef SCORING_ALIGNMENT_H
#define SCORING_ALIGNMENT_H

#include <string>
#include <string_view>
#include <vector>

namespace scoring {

// One row of an alignment: the sequence name and its characters, gaps
// included. Gaps are '-' or '.'; MSF's '~' is stored as '-'.
struct AlignedSequence {
  std::string name;
  std::string_view row;  // into Alignment::text, or text the caller keeps
};

// Rows in file order; all rows have the same length. The parsers pack the
// rows into text, in place of the input they came from, so that a large
// alignment occupies memory once. Moving keeps the rows valid; copying
// would not, so it is not allowed.
struct Alignment {
  Alignment() = default;
  Alignment(Alignment&&) = default;
  Alignment& operator=(Alignment&&) = default;
  Alignment(const Alignment&) = delete;
  Alignment& operator=(const Alignment&) = delete;

  size_t columns() const { return sequences.empty() ? 0 : sequences[0].row.size(); }

  std::vector<AlignedSequence> sequences;
  std::vector<char> text;
};

inline bool isGap(char c) { return c == '-' || c == '.'; }

enum class AlignmentFormat { kFasta, kMsf, kClustal, kStockholm, kUnknown };

// Tells the format by content: FASTA starts with '>' (after blank lines);
// MSF has a header line with "MSF:" and a "//" line before the blocks;
// Clustal's first line starts with "CLUSTAL", Stockholm's with
// "# STOCKHOLM 1.0" (alignment_formats.h reads those two).
AlignmentFormat detectFormat(std::string_view text);

// Each parser fills *out and returns true, or sets *error (one line, no
// line end) and returns false. Both check that there is at least one
// sequence and that all rows have the same length. A FASTA name is its
// header line after '>' without surrounding blanks; an MSF name is the
// word after "Name:" in the header, and the first word of block lines.
bool parseFasta(std::string_view text, Alignment* out, std::string* error);
bool parseMsf(std::string_view text, Alignment* out, std::string* error);

// Packs rows gathered apart (names[i] names rows[i], '~' read as '-') into
// *out, then makes the parsers' checks.
bool packRows(std::vector<std::string> names, std::vector<std::string> rows, Alignment* out,
              std::string* error);

// detectFormat, then the matching parser.
bool parseAlignment(std::string_view text, Alignment* out, std::string* error);

// Reads the whole file at path and parses it; errors name the path.
bool readAlignmentFile(const std::string& path, Alignment* out, std::string* error);

}  // namespace scoring

#endif
