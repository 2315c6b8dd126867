#include "alignment.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace alnscore {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Walks text line by line; the line end is not part of the line.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : rest_(text) {}
  bool next(std::string_view* line) {
    if (rest_.empty()) return false;
    size_t end = rest_.find('\n');
    if (end == std::string_view::npos) end = rest_.size();
    *line = rest_.substr(0, end);
    rest_.remove_prefix(end == rest_.size() ? end : end + 1);
    ++number_;
    return true;
  }
  size_t lineNumber() const { return number_; }

 private:
  std::string_view rest_;
  size_t number_ = 0;
};

void appendResidues(std::string_view chunk, bool tildeIsGap, std::string* row) {
  for (char c : chunk) {
    if (isBlank(c)) continue;
    row->push_back(tildeIsGap && c == '~' ? '-' : c);
  }
}

bool checkRows(const Alignment& a, std::string* error) {
  if (a.sequences.empty()) {
    *error = "no sequences";
    return false;
  }
  const size_t width = a.sequences[0].row.size();
  for (const AlignedSequence& s : a.sequences) {
    if (s.row.size() != width) {
      *error = "rows differ in length ('" + a.sequences[0].name + "' has " + std::to_string(width) +
               " columns, '" + s.name + "' has " + std::to_string(s.row.size()) + ")";
      return false;
    }
  }
  return true;
}

bool isRulerLine(std::string_view line) {
  for (char c : line) {
    if (!isBlank(c) && (c < '0' || c > '9')) return false;
  }
  return true;
}

std::string_view firstWord(std::string_view s) {
  s = trim(s);
  size_t end = 0;
  while (end < s.size() && !isBlank(s[end])) ++end;
  return s.substr(0, end);
}

}  // namespace

AlignmentFormat detectFormat(std::string_view text) {
  LineCursor lines(text);
  std::string_view line;
  bool sawMsfHeader = false;
  while (lines.next(&line)) {
    std::string_view t = trim(line);
    if (t.empty()) continue;
    if (!sawMsfHeader && t.front() == '>') return AlignmentFormat::kFasta;
    if (t.find("MSF:") != std::string_view::npos) sawMsfHeader = true;
    if (t.substr(0, 2) == "//") return sawMsfHeader ? AlignmentFormat::kMsf : AlignmentFormat::kUnknown;
  }
  return AlignmentFormat::kUnknown;
}

bool parseFasta(std::string_view text, Alignment* out, std::string* error) {
  out->sequences.clear();
  LineCursor lines(text);
  std::string_view line;
  while (lines.next(&line)) {
    if (!line.empty() && line.front() == '>') {
      out->sequences.push_back({std::string(trim(line.substr(1))), std::string()});
      continue;
    }
    if (out->sequences.empty()) {
      if (trim(line).empty()) continue;
      *error = "line " + std::to_string(lines.lineNumber()) + ": text before the first '>' header";
      return false;
    }
    appendResidues(line, false, &out->sequences.back().row);
  }
  return checkRows(*out, error);
}

bool parseMsf(std::string_view text, Alignment* out, std::string* error) {
  out->sequences.clear();
  std::unordered_map<std::string, size_t> indexByName;
  LineCursor lines(text);
  std::string_view line;
  bool inBlocks = false;
  while (lines.next(&line)) {
    if (!inBlocks) {
      std::string_view t = trim(line);
      if (t.substr(0, 2) == "//") {
        inBlocks = true;
        continue;
      }
      size_t at = t.find("Name:");
      if (at == std::string_view::npos) continue;
      std::string name(firstWord(t.substr(at + 5)));
      if (name.empty()) {
        *error = "line " + std::to_string(lines.lineNumber()) + ": 'Name:' without a name";
        return false;
      }
      if (!indexByName.emplace(name, out->sequences.size()).second) {
        *error = "sequence name '" + name + "' appears twice";
        return false;
      }
      out->sequences.push_back({name, std::string()});
      continue;
    }
    if (isRulerLine(line)) continue;
    std::string_view t = trim(line);
    std::string_view name = firstWord(t);
    auto it = indexByName.find(std::string(name));
    if (it == indexByName.end()) {
      *error = "line " + std::to_string(lines.lineNumber()) + ": sequence '" + std::string(name) +
               "' is not named in the header";
      return false;
    }
    appendResidues(t.substr(name.size()), true, &out->sequences[it->second].row);
  }
  if (!inBlocks) {
    *error = "no '//' line before the alignment blocks";
    return false;
  }
  return checkRows(*out, error);
}

bool parseAlignment(std::string_view text, Alignment* out, std::string* error) {
  switch (detectFormat(text)) {
    case AlignmentFormat::kFasta:
      return parseFasta(text, out, error);
    case AlignmentFormat::kMsf:
      return parseMsf(text, out, error);
    case AlignmentFormat::kUnknown:
      break;
  }
  *error = "neither aligned FASTA nor MSF";
  return false;
}

bool readAlignmentFile(const std::string& path, Alignment* out, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  std::string text;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  const bool readFailed = std::ferror(f);
  std::fclose(f);
  if (readFailed) {
    *error = "cannot read '" + path + "'";
    return false;
  }
  if (!parseAlignment(text, out, error)) {
    *error = "'" + path + "': " + *error;
    return false;
  }
  return true;
}

}  // namespace alnscore
