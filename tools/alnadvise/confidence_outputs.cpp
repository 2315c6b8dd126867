#include "confidence_outputs.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "runs/file_output.h"
#include "scoring/alignment_formats.h"

namespace alnadvise {

const char* const kColumnTable = "columns.tsv";
const char* const kMaskedFile = "best.masked.fasta";
const char* const kTrimmedFile = "best.trimmed.fasta";
const char* const kTrimmedMap = "best.trimmed.columns.tsv";

namespace {

bool isGap(char c) { return c == '-' || c == '.'; }

// NaN (no pair) is below every threshold.
bool atLeast(double value, double threshold) { return !std::isnan(value) && value >= threshold; }

}  // namespace

std::string columnTable(const advice::Confidence& confidence,
                        const std::vector<std::string>& rows) {
  std::string text = "column\tresidues\tconfidence\tpp\n";
  for (size_t c = 0; c < confidence.columns.size(); ++c) {
    int residues = 0;
    for (const std::string& r : rows) residues += c < r.size() && !isGap(r[c]);
    const double v = confidence.columns[c];
    char value[32];
    std::snprintf(value, sizeof value, "%.3f", v);
    text += std::to_string(c + 1) + "\t" + std::to_string(residues) + "\t" +
            (std::isnan(v) ? "NA" : value) + "\t" + scoring::probabilityCharacter(v) + "\n";
  }
  return text;
}

std::vector<std::string> maskedRows(const std::vector<std::string>& rows,
                                    const advice::Confidence& confidence, double threshold) {
  std::vector<std::string> out = rows;
  for (size_t r = 0; r < out.size(); ++r) {
    size_t k = 0;
    for (char& c : out[r]) {
      if (isGap(c)) continue;
      const double v = k < confidence.residues[r].size() ? confidence.residues[r][k] : NAN;
      ++k;
      const unsigned char u = static_cast<unsigned char>(c);
      c = static_cast<char>(atLeast(v, threshold) ? std::toupper(u) : std::tolower(u));
    }
  }
  return out;
}

std::vector<std::string> trimmedRows(const std::vector<std::string>& rows,
                                     const advice::Confidence& confidence, double threshold,
                                     std::vector<int>* kept) {
  kept->clear();
  for (size_t c = 0; c < confidence.columns.size(); ++c)
    if (atLeast(confidence.columns[c], threshold)) kept->push_back(static_cast<int>(c + 1));
  std::vector<std::string> out(rows.size());
  for (size_t r = 0; r < rows.size(); ++r)
    for (int c : *kept) out[r] += rows[r][static_cast<size_t>(c - 1)];
  return out;
}

int rowsWithoutResidue(const std::vector<std::string>& rows) {
  int empty = 0;
  for (const std::string& r : rows) {
    bool residue = false;
    for (char c : r) residue = residue || !isGap(c);
    empty += !residue;
  }
  return empty;
}

bool writeConfidenceOutputs(const std::string& folder, const std::vector<std::string>& names,
                            const std::vector<std::string>& rows,
                            const advice::Confidence& confidence, double mask, double trim,
                            std::string* warning, std::string* error) {
  warning->clear();
  std::error_code ec;
  for (const char* file : {kColumnTable, kMaskedFile, kTrimmedFile, kTrimmedMap})
    std::filesystem::remove(folder + "/" + file, ec);
  if (!confidence.known) {
    if (mask < 0 && trim < 0) return true;
    *error = std::string(mask >= 0 ? "--mask" : "--trim") +
             ": the column confidence is not known (" + confidence.note + "); " +
             (mask >= 0 ? kMaskedFile : kTrimmedFile) + " not written";
    return false;
  }
  if (!runs::writeFileAtomically(folder + "/" + kColumnTable, columnTable(confidence, rows), error))
    return false;
  if (mask >= 0 && !runs::writeFileAtomically(
                       folder + "/" + kMaskedFile,
                       runs::alignedFasta(names, maskedRows(rows, confidence, mask)), error))
    return false;
  if (trim >= 0) {
    std::vector<int> kept;
    const std::vector<std::string> trimmed = trimmedRows(rows, confidence, trim, &kept);
    std::string map = "trimmed_column\tcolumn\n";
    for (size_t i = 0; i < kept.size(); ++i)
      map += std::to_string(i + 1) + "\t" + std::to_string(kept[i]) + "\n";
    if (!runs::writeFileAtomically(folder + "/" + kTrimmedFile, runs::alignedFasta(names, trimmed),
                                   error) ||
        !runs::writeFileAtomically(folder + "/" + kTrimmedMap, map, error))
      return false;
    if (const int empty = rowsWithoutResidue(trimmed)) {
      char threshold[32];
      std::snprintf(threshold, sizeof threshold, "%g", trim);
      *warning = std::string(kTrimmedFile) + ": " + std::to_string(empty) + " of " +
                 std::to_string(rows.size()) + " rows keep no residue at --trim " + threshold +
                 " (tree programs such as IQ-TREE refuse such rows)";
    }
  }
  return true;
}

}  // namespace alnadvise
