// The scorer's aligned-FASTA reader, which packs the rows in place over the
// text it reads: names and rows must equal those of a plain model, and the
// reader chosen by content must agree with it.
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "scoring/alignment.h"

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// Names and rows, or false: text before the first header, no header, or rows
// of different lengths.
bool model(std::string_view text, std::vector<std::pair<std::string, std::string>>* rows) {
  for (std::string_view line : fuzz::splitLines(text)) {
    if (!line.empty() && line[0] == '>') {
      rows->emplace_back(trim(line.substr(1)), "");
    } else if (rows->empty()) {
      if (!trim(line).empty()) return false;
    } else {
      for (char c : line) {
        if (!isBlank(c)) rows->back().second.push_back(c);
      }
    }
  }
  if (rows->empty()) return false;
  for (const auto& row : *rows) {
    if (row.second.size() != rows->front().second.size()) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::text(data, size);
  scoring::Alignment alignment;
  std::string error;
  const bool parsed = scoring::parseFasta(text, &alignment, &error);

  std::vector<std::pair<std::string, std::string>> rows;
  fuzz::check(parsed == model(text, &rows), "success differs from the model: " + error);
  if (parsed) {
    fuzz::check(alignment.sequences.size() == rows.size(), "row count");
    for (size_t i = 0; i < rows.size(); ++i) {
      fuzz::check(alignment.sequences[i].name == rows[i].first, "name of row " + std::to_string(i));
      fuzz::check(alignment.sequences[i].row == rows[i].second, "row " + std::to_string(i));
    }
  } else {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
  }

  scoring::Alignment detected;
  const bool any = scoring::parseAlignment(text, &detected, &error);
  if (scoring::detectFormat(text) == scoring::AlignmentFormat::kFasta) {
    fuzz::check(any == parsed, "the FASTA reader chosen by content disagrees");
  }
  return 0;
}
