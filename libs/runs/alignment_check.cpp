#include "runs/alignment_check.h"

#include <unistd.h>

#include <cstring>
#include <unordered_map>

#include "scoring/alignment.h"

namespace runs {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool isStandardAminoAcid(char c) {
  return std::strchr("ACDEFGHIKLMNPQRSTVWY", upper(c)) != nullptr && c != '\0';
}

bool isGapCell(char c) { return c == '-' || c == '.'; }

}  // namespace

bool validateAlignment(const std::string& path, const DataSet& data, std::vector<std::string>* rows,
                       std::string* why) {
  rows->assign(data.size(), std::string());
  scoring::Alignment alignment;
  std::string error;
  if (::access(path.c_str(), F_OK) != 0) {
    *why = "no alignment written";
    return false;
  }
  if (!scoring::readAlignmentFile(path, &alignment, &error)) {
    *why = error;
    return false;
  }
  std::unordered_map<std::string, size_t> index;
  for (size_t i = 0; i < data.size(); ++i) index.emplace(safeName(i), i);
  std::vector<bool> seen(data.size(), false);
  for (const scoring::AlignedSequence& s : alignment.sequences) {
    auto it = index.find(s.name);
    if (it == index.end()) {
      *why = "unknown sequence name '" + s.name + "'";
      return false;
    }
    const size_t i = it->second;
    if (seen[i]) {
      *why = "sequence '" + s.name + "' appears twice";
      return false;
    }
    seen[i] = true;
    const std::string& original = data.residues[i];
    std::string& row = (*rows)[i];
    row.reserve(s.row.size());
    size_t k = 0;
    for (char c : s.row) {
      if (isGapCell(c)) {
        row += '-';
        continue;
      }
      if (k >= original.size() ||
          (upper(c) != upper(original[k]) && isStandardAminoAcid(original[k]))) {
        *why = "the residues of '" + s.name + "' differ from the input";
        return false;
      }
      row += original[k++];
    }
    if (k != original.size()) {
      *why = "sequence '" + s.name + "' lost residues";
      return false;
    }
  }
  for (size_t i = 0; i < data.size(); ++i) {
    if (!seen[i]) {
      *why = "sequence '" + safeName(i) + "' is missing";
      return false;
    }
  }
  return true;
}

}  // namespace runs
