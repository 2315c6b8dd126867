#include "runs/reference.h"

#include <unordered_map>

#include "runs/file_output.h"
#include "scoring/alignment.h"
#include "scoring/sequence_matching.h"

namespace runs {

namespace {

const size_t kAmbiguous = static_cast<size_t>(-1);

std::string firstWord(const std::string& name) {
  size_t begin = name.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  return name.substr(begin, name.find_first_of(" \t", begin) - begin);
}

}  // namespace

bool readReference(const std::string& path, const DataSet& data, Reference* out,
                   std::string* error) {
  *out = Reference();
  out->path = path;
  scoring::Alignment alignment;
  std::string why;
  if (!scoring::readAlignmentFile(path, &alignment, &why)) {
    *error = "reference: " + why;
    return false;
  }
  std::unordered_map<std::string, size_t> exact, byWord;
  for (size_t i = 0; i < data.size(); ++i) {
    exact.emplace(data.names[i], i);
    auto word = byWord.emplace(firstWord(data.names[i]), i);
    if (!word.second) word.first->second = kAmbiguous;
  }
  std::vector<bool> used(data.size(), false);
  for (const scoring::AlignedSequence& s : alignment.sequences) {
    size_t record = kAmbiguous;
    auto e = exact.find(s.name);
    if (e != exact.end()) {
      record = e->second;
    } else {
      auto w = byWord.find(s.name);
      if (w != byWord.end()) record = w->second;
    }
    if (record == kAmbiguous) {
      *error = "reference '" + path + "': sequence '" + s.name +
               "' matches no sequence name of the data set";
      return false;
    }
    if (used[record]) {
      *error = "reference '" + path + "': two rows match sequence '" + data.names[record] + "'";
      return false;
    }
    used[record] = true;
    if (!scoring::sameResidues(s.row, data.residues[record])) {
      *error =
          "reference '" + path + "': the residues of '" + s.name + "' differ from the data set's";
      return false;
    }
    std::string row(s.row);
    for (char& c : row)
      if (c == '.') c = '-';
    out->recordOf.push_back(record);
    out->rows.push_back(row);
  }
  if (out->rows.size() < 2) {
    *error = "reference '" + path + "' shares fewer than two sequences with the data set";
    return false;
  }
  return true;
}

bool writeSafeReference(const Reference& reference, const std::string& path, std::string* error) {
  std::string text;
  for (size_t i = 0; i < reference.rows.size(); ++i) {
    text += ">" + safeName(reference.recordOf[i]) + "\n";
    const std::string& r = reference.rows[i];
    for (size_t at = 0; at < r.size(); at += 60) text += r.substr(at, 60) + "\n";
  }
  return writeFileAtomically(path, text, error);
}

}  // namespace runs
