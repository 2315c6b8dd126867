// Alignments in the text formats other programs read: Clustal W (.aln),
// Stockholm (.sto), relaxed PHYLIP (.phy) and GCG MSF (.msf), written from
// the names and rows an aligned FASTA file holds; and the Clustal and
// Stockholm readers (FASTA and MSF are read by alignment.h, which detects
// all four by content).
//
// Names. None of the four formats holds a blank in a name, so every file is
// written with the names of rowNames(): the FASTA id (the header up to its
// first blank) when the ids are all different and none is empty; otherwise
// the whole header with each run of blanks made one '_', and a name still
// empty or equal to an earlier one gets "_2", "_3"... (an empty one is "seq").
// Names are never shortened: a name keeps every character, whatever its
// length, so that two names never become one. The same names go into
// Clustal, Stockholm and MSF. PHYLIP is what tree programs read, and a tree
// (Newick) breaks on a name holding : , ( ) ; [ ] ' or ": there each of them
// is made '_', and a name that then equals an earlier one gets "_2", "_3"...
//
// Rows. Residues are written as they are; a gap is '-', except in MSF,
// where GCG's '.' is written. An empty row (all gaps, or no columns at all)
// is written like any other.
#ifndef SCORING_ALIGNMENT_FORMATS_H
#define SCORING_ALIGNMENT_FORMATS_H

#include <string>
#include <string_view>
#include <vector>

#include "scoring/alignment.h"

namespace scoring {

enum class TextFormat { kClustal, kStockholm, kPhylip, kMsf };

// "clustal", "stockholm", "phylip", "msf"; and the file extension each is
// written with: ".aln", ".sto", ".phy", ".msf".
const std::vector<TextFormat>& textFormats();
const char* formatName(TextFormat format);
const char* formatExtension(TextFormat format);
// False when name is none of the four names.
bool formatByName(std::string_view name, TextFormat* format);

// The names written for these FASTA headers (see above): one per header,
// each one word, all different.
std::vector<std::string> rowNames(const std::vector<std::string>& headers);

// The names written in format's file: rowNames(), made tree-safe for PHYLIP.
std::vector<std::string> formatRowNames(TextFormat format, const std::vector<std::string>& headers);

// The whole file text. rows have one length; headers as in the FASTA file.
//   Clustal:   "CLUSTAL W" header, blocks of 60 columns with a conservation
//              line ('*' identical, ':' and '.' Clustal W's strong and weak
//              groups).
//   Stockholm: "# STOCKHOLM 1.0", one line per row, "//".
//   PHYLIP:    "<rows> <columns>", then "name row" a line (relaxed: names
//              of any length, ended by a blank).
//   MSF:       the GCG header with checksums and "Type: N" when every
//              residue is a nucleotide letter (P otherwise), blocks of 50
//              columns in words of 10.
std::string formatAlignment(TextFormat format, const std::vector<std::string>& headers,
                            const std::vector<std::string>& rows);

// Confidence markup for Stockholm, one character a column in HMMER's
// convention for posterior probabilities: '0' below 0.05, 'd' from d/10 -
// 0.05 to below d/10 + 0.05, '*' from 0.95; '.' where nothing is known (NaN)
// and, in a row's line, at its gaps.
char probabilityCharacter(double p);

// "#=GC PP_cons" holds column (one value a column; none when empty), and
// "#=GR <name> PP" each row's residues (per row, one value a residue, gaps
// left out; none when empty), after the rows. False with *error when the
// numbers do not fit the rows.
bool formatStockholmWithConfidence(const std::vector<std::string>& headers,
                                   const std::vector<std::string>& rows,
                                   const std::vector<double>& column,
                                   const std::vector<std::vector<double>>& residues,
                                   std::string* text, std::string* error);

// Readers, with the contract of alignment.h's parsers (one-line errors that
// start with "line N: " when a line is at fault).
//   Clustal: the first line starts with "CLUSTAL"; a block line is a name,
//   its residues and an optional residue count; lines that start with a
//   blank (conservation) and blank lines are skipped; every block names the
//   rows of the first block, in its order.
//   Stockholm: "# STOCKHOLM 1.0" first; '#' lines (markup) skipped; a line
//   is a name and residues, a name may recur (blocks); "//" ends the one
//   alignment read, after which only blank lines may follow.
bool parseClustal(std::string_view text, Alignment* out, std::string* error);
bool parseStockholm(std::string_view text, Alignment* out, std::string* error);

}  // namespace scoring

#endif
