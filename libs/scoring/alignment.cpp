#include "scoring/alignment.h"

#include "scoring/alignment_formats.h"
#include "scoring/text_scan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace scoring {

namespace {

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

// Calls emit(begin, length) for each run of non-blank characters.
template <typename Emit>
void forEachRun(std::string_view chunk, Emit emit) {
  size_t i = 0;
  while (i < chunk.size()) {
    while (i < chunk.size() && isBlank(chunk[i])) ++i;
    size_t end = i;
    while (end < chunk.size() && !isBlank(chunk[end])) ++end;
    if (end > i) emit(chunk.data() + i, end - i);
    i = end;
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
  bool sawMsfHeader = false, first = true;
  while (lines.next(&line)) {
    std::string_view t = trim(line);
    if (t.empty()) continue;
    if (first && t.substr(0, 7) == "CLUSTAL") return AlignmentFormat::kClustal;
    if (first && t.substr(0, 15) == "# STOCKHOLM 1.0") return AlignmentFormat::kStockholm;
    first = false;
    if (!sawMsfHeader && t.front() == '>') return AlignmentFormat::kFasta;
    if (t.find("MSF:") != std::string_view::npos) sawMsfHeader = true;
    if (t.substr(0, 2) == "//")
      return sawMsfHeader ? AlignmentFormat::kMsf : AlignmentFormat::kUnknown;
  }
  return AlignmentFormat::kUnknown;
}

namespace {

// The rows are packed to the front of out->text, over the lines they were
// read from: the packed text never overtakes the text still to be read.
bool parseFastaInPlace(Alignment* out, std::string* error) {
  out->sequences.clear();
  char* const base = out->text.data();
  LineCursor lines(std::string_view(base, out->text.size()));
  std::vector<size_t> rowStart;
  size_t packed = 0;
  std::string_view line;
  while (lines.next(&line)) {
    if (!line.empty() && line.front() == '>') {
      out->sequences.push_back({std::string(trim(line.substr(1))), std::string_view()});
      rowStart.push_back(packed);
      continue;
    }
    if (out->sequences.empty()) {
      if (trim(line).empty()) continue;
      *error = "line " + std::to_string(lines.lineNumber()) + ": text before the first '>' header";
      return false;
    }
    forEachRun(line, [&](const char* run, size_t length) {
      std::memmove(base + packed, run, length);
      packed += length;
    });
  }
  rowStart.push_back(packed);
  for (size_t i = 0; i < out->sequences.size(); ++i) {
    out->sequences[i].row = std::string_view(base + rowStart[i], rowStart[i + 1] - rowStart[i]);
  }
  return checkRows(*out, error);
}

bool parseMsfInPlace(Alignment* out, std::string* error) {
  out->sequences.clear();
  std::vector<std::string> rows;
  std::unordered_map<std::string, size_t> indexByName;
  LineCursor lines(std::string_view(out->text.data(), out->text.size()));
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
      if (!indexByName.emplace(name, rows.size()).second) {
        *error = "sequence name '" + name + "' appears twice";
        return false;
      }
      out->sequences.push_back({name, std::string_view()});
      rows.emplace_back();
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
    std::string& row = rows[it->second];
    forEachRun(t.substr(name.size()),
               [&](const char* run, size_t length) { row.append(run, length); });
  }
  if (!inBlocks) {
    *error = "no '//' line before the alignment blocks";
    return false;
  }

  // Blocks interleave the rows, so they are gathered apart and packed.
  std::vector<std::string> names;
  for (AlignedSequence& s : out->sequences) names.push_back(std::move(s.name));
  return packRows(std::move(names), std::move(rows), out, error);
}

bool parseOwnText(Alignment* out, std::string* error) {
  switch (detectFormat(std::string_view(out->text.data(), out->text.size()))) {
    case AlignmentFormat::kFasta:
      return parseFastaInPlace(out, error);
    case AlignmentFormat::kMsf:
      return parseMsfInPlace(out, error);
    case AlignmentFormat::kClustal:
      return parseClustal(std::string_view(out->text.data(), out->text.size()), out, error);
    case AlignmentFormat::kStockholm:
      return parseStockholm(std::string_view(out->text.data(), out->text.size()), out, error);
    case AlignmentFormat::kUnknown:
      break;
  }
  *error = "neither aligned FASTA nor MSF nor Clustal nor Stockholm";
  return false;
}

}  // namespace

bool packRows(std::vector<std::string> names, std::vector<std::string> rows, Alignment* out,
              std::string* error) {
  std::vector<char> packed;
  size_t total = 0;
  for (const std::string& row : rows) total += row.size();
  packed.reserve(total);
  for (std::string& row : rows) {
    std::replace(row.begin(), row.end(), '~', '-');
    packed.insert(packed.end(), row.begin(), row.end());
  }
  out->text = std::move(packed);
  out->sequences.clear();
  size_t offset = 0;
  for (size_t i = 0; i < rows.size() && i < names.size(); ++i) {
    out->sequences.push_back(
        {std::move(names[i]), std::string_view(out->text.data() + offset, rows[i].size())});
    offset += rows[i].size();
  }
  return checkRows(*out, error);
}

bool parseFasta(std::string_view text, Alignment* out, std::string* error) {
  out->text.assign(text.begin(), text.end());
  return parseFastaInPlace(out, error);
}

bool parseMsf(std::string_view text, Alignment* out, std::string* error) {
  out->text.assign(text.begin(), text.end());
  return parseMsfInPlace(out, error);
}

bool parseAlignment(std::string_view text, Alignment* out, std::string* error) {
  out->text.assign(text.begin(), text.end());
  return parseOwnText(out, error);
}

bool readAlignmentFile(const std::string& path, Alignment* out, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  // One allocation of the final size: the text is the largest thing held.
  std::vector<char>& text = out->text;
  text.clear();
  struct stat st;
  if (::fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode))
    text.reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    text.insert(text.end(), buffer, buffer + n);
  const bool readFailed = std::ferror(f);
  std::fclose(f);
  if (readFailed) {
    *error = "cannot read '" + path + "'";
    return false;
  }
  if (!parseOwnText(out, error)) {
    *error = "'" + path + "': " + *error;
    return false;
  }
  return true;
}

}  // namespace scoring
