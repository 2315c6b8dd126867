#include "runs/data_set.h"

#include <algorithm>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "runs/file_output.h"

namespace runs {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '-' || c == '.'; }

std::string describeByte(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 0x21 && u < 0x7f) return std::string("'") + c + "'";
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02x", u);
  return buffer;
}

// A name as it may appear in a message: shortened, control bytes shown.
std::string quoted(const std::string& name) {
  std::string out = "'";
  for (size_t i = 0; i < name.size() && i < 40; ++i) {
    const unsigned char u = static_cast<unsigned char>(name[i]);
    out += u < 0x20 || u == 0x7f ? '?' : name[i];
  }
  return out + (name.size() > 40 ? "...'" : "'");
}

std::string recordLabel(size_t index, const std::string& name) {
  return "record " + std::to_string(index + 1) + " (" + quoted(name) + ")";
}

bool readWholeFile(const std::string& path, std::string* text, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    *error = "'" + path + "' is a folder, not a FASTA file";
    return false;
  }
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text->append(buffer, n);
  const bool failed = std::ferror(f) != 0;
  const int savedErrno = errno;
  std::fclose(f);
  if (failed) {
    *error = "cannot read '" + path + "': " + std::strerror(savedErrno);
    return false;
  }
  return true;
}

std::string upper(const std::string& s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// Splits the text into records; false at the first byte that is not a residue.
bool parseRecords(const std::string& text, DataSet* out, std::string* error) {
  size_t lineStart = 0, lineNumber = 0;
  while (lineStart < text.size()) {
    size_t end = text.find('\n', lineStart);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(lineStart, end - lineStart);
    lineStart = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '>') {
      out->names.push_back(line.substr(1));
      out->residues.emplace_back();
      continue;
    }
    std::string kept;
    for (char c : line) {
      if (isSkipped(c)) continue;
      if (out->names.empty() || (!isLetter(c) && c != '*')) {
        *error = out->names.empty()
                     ? "'" + out->path + "' is not FASTA (line " + std::to_string(lineNumber) +
                           " comes before the first '>' header)"
                     : recordLabel(out->names.size() - 1, out->names.back()) + ": byte " +
                           describeByte(c) + " is not a residue letter";
        return false;
      }
      kept += c;
    }
    if (!out->residues.empty()) out->residues.back() += kept;
  }
  return true;
}

// Drops one '*' ending each record; a '*' anywhere else is refused as any
// other byte that is not a residue.
bool dropStops(DataSet* out, std::string* error) {
  for (size_t i = 0; i < out->names.size(); ++i) {
    std::string& r = out->residues[i];
    if (!r.empty() && r.back() == '*') {
      r.pop_back();
      ++out->stopsDropped;
    }
    if (r.find('*') != std::string::npos) {
      *error = recordLabel(i, out->names[i]) + ": byte '*' is not a residue letter";
      return false;
    }
  }
  return true;
}

// Names present and unique, residues present; counts the distinct sequences.
bool checkRecords(DataSet* out, std::string* error) {
  std::unordered_map<std::string, size_t> byName;
  std::unordered_set<std::string> distinct;
  for (size_t i = 0; i < out->names.size(); ++i) {
    const std::string& name = out->names[i];
    if (name.empty()) {
      *error = "record " + std::to_string(i + 1) + " has no name";
      return false;
    }
    if (out->residues[i].empty()) {
      *error = recordLabel(i, name) + " has no residues";
      return false;
    }
    auto seen = byName.emplace(name, i);
    if (!seen.second) {
      *error = "records " + std::to_string(seen.first->second + 1) + " and " +
               std::to_string(i + 1) + " have the same name " + quoted(name);
      return false;
    }
    distinct.insert(upper(out->residues[i]));
  }
  out->distinctSequences = distinct.size();
  return true;
}

}  // namespace

size_t DataSet::longest() const {
  size_t most = 0;
  for (const std::string& r : residues) most = std::max(most, r.size());
  return most;
}

double DataSet::meanLength() const {
  if (residues.empty()) return 0;
  double sum = 0;
  for (const std::string& r : residues) sum += static_cast<double>(r.size());
  return sum / static_cast<double>(residues.size());
}

bool chooseAlphabet(const std::string& choice, DataSet* data, std::string* error) {
  bool automatic = false;
  if (!parseAlphabetChoice(choice, &automatic, &data->alphabet)) {
    *error = "unknown alphabet '" + choice + "' (auto, protein, dna or rna)";
    return false;
  }
  if (automatic) data->alphabet = detectAlphabet(alphabetEvidence(data->residues));
  return true;
}

std::string safeName(size_t index) { return "s" + std::to_string(index + 1); }

bool readDataSet(const std::string& path, DataSet* out, std::string* error) {
  *out = DataSet();
  out->path = path;
  std::string text;
  if (!readWholeFile(path, &text, error)) return false;
  if (text.empty()) {
    *error = "'" + path + "' is empty";
    return false;
  }
  if (!parseRecords(text, out, error)) return false;
  if (out->names.empty()) {
    *error = "'" + path + "' holds no FASTA record";
    return false;
  }
  if (!dropStops(out, error) || !checkRecords(out, error)) return false;
  if (out->names.size() < 2) {
    *error = "'" + path + "' holds one sequence; at least two are needed";
    return false;
  }
  if (out->distinctSequences < 2) {
    *error = "the " + std::to_string(out->names.size()) + " sequences of '" + path +
             "' are all identical; at least two distinct ones are needed";
    return false;
  }
  return true;
}

bool writeSafeCopy(const DataSet& data, const std::string& path, std::string* error) {
  std::string text;
  for (size_t i = 0; i < data.size(); ++i) {
    text += ">" + safeName(i) + "\n";
    const std::string& r = data.residues[i];
    for (size_t at = 0; at < r.size(); at += 60) text += r.substr(at, 60) + "\n";
  }
  return writeFileAtomically(path, text, error);
}

}  // namespace runs
