// The Clustal and Stockholm readers: a row they return holds no blank and no
// '~', every row has the same length, every name is one word given once.
// What they read, each writer writes so that the readers chosen by content
// give back the same rows under the writers' names.
#include <set>
#include <string>

#include "fuzz_support.h"
#include "scoring/alignment.h"
#include "scoring/alignment_formats.h"

namespace {

bool hasBlank(std::string_view s) {
  return s.find_first_of(" \t\r\n\v\f") != std::string_view::npos;
}

// Letters and gaps: a digit would make an MSF block line a ruler.
bool residuesOnly(std::string_view row) {
  for (char c : row)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.')) return false;
  return true;
}

std::string dashed(std::string_view row) {
  std::string s(row);
  for (char& c : s)
    if (c == '.') c = '-';
  return s;
}

void checkRead(const scoring::Alignment& alignment) {
  fuzz::check(!alignment.sequences.empty(), "no rows");
  std::set<std::string> names;
  for (const scoring::AlignedSequence& s : alignment.sequences) {
    fuzz::check(s.row.size() == alignment.columns(), "rows of different lengths");
    fuzz::check(!hasBlank(s.row) && s.row.find('~') == std::string_view::npos, "row text");
    fuzz::check(!s.name.empty() && !hasBlank(s.name), "name");
    fuzz::check(names.insert(s.name).second, "a name given twice");
  }
}

void checkRoundTrip(const scoring::Alignment& alignment) {
  std::vector<std::string> names, rows;
  for (const scoring::AlignedSequence& s : alignment.sequences) {
    if (!residuesOnly(s.row)) return;
    names.push_back(s.name);
    rows.emplace_back(s.row);
  }
  const std::vector<std::string> written = scoring::rowNames(names);
  for (scoring::TextFormat format : {scoring::TextFormat::kClustal, scoring::TextFormat::kStockholm,
                                     scoring::TextFormat::kMsf}) {
    scoring::Alignment back;
    std::string error;
    fuzz::check(
        scoring::parseAlignment(scoring::formatAlignment(format, names, rows), &back, &error),
        std::string(scoring::formatName(format)) + " written, not read: " + error);
    fuzz::check(back.sequences.size() == rows.size(), "rows lost");
    for (size_t i = 0; i < rows.size(); ++i) {
      fuzz::check(back.sequences[i].name == written[i], "name changed");
      fuzz::check(dashed(back.sequences[i].row) == dashed(rows[i]), "row changed");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::text(data, size);
  const scoring::AlignmentFormat detected = scoring::detectFormat(text);
  scoring::Alignment a, b;
  std::string error;
  const bool clustal = scoring::parseClustal(text, &a, &error);
  if (clustal) {
    checkRead(a);
    checkRoundTrip(a);
  } else {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
  }
  const bool stockholm = scoring::parseStockholm(text, &b, &error);
  if (stockholm) {
    checkRead(b);
    checkRoundTrip(b);
  } else {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
  }
  scoring::Alignment any;
  const bool parsed = scoring::parseAlignment(text, &any, &error);
  if (detected == scoring::AlignmentFormat::kClustal)
    fuzz::check(parsed == clustal, "the Clustal reader chosen by content disagrees");
  if (detected == scoring::AlignmentFormat::kStockholm)
    fuzz::check(parsed == stockholm, "the Stockholm reader chosen by content disagrees");
  return 0;
}
