// The advisor's data set reader: success, names and residues must equal a
// plain model of its rules, and the safe copy it writes for the aligners
// must read back as the same residues under the names s1, s2, ...
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "runs/data_set.h"

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The rules of data_set.h, written plainly.
bool model(std::string_view text, std::vector<std::string>* names,
           std::vector<std::string>* residues) {
  if (text.empty()) return false;
  for (std::string_view line : fuzz::splitLines(text)) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line[0] == '>') {
      names->emplace_back(line.substr(1));
      residues->emplace_back();
      continue;
    }
    for (char c : line) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '-' || c == '.') continue;
      if (names->empty() || (!isLetter(c) && c != '*')) return false;
      residues->back() += c;
    }
  }
  // One stop '*' ending a record is dropped; any other '*' is refused.
  for (std::string& r : *residues) {
    if (!r.empty() && r.back() == '*') r.pop_back();
    if (r.find('*') != std::string::npos) return false;
  }
  std::set<std::string> seen, distinct;
  for (size_t i = 0; i < names->size(); ++i) {
    if ((*names)[i].empty() || (*residues)[i].empty() || !seen.insert((*names)[i]).second)
      return false;
    distinct.insert(upper((*residues)[i]));
  }
  return names->size() >= 2 && distinct.size() >= 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::writeInput(data, size, "data-set.fasta");
  runs::DataSet set;
  std::string error;
  const bool read = runs::readDataSet(path, &set, &error);
  std::vector<std::string> names, residues;
  fuzz::check(read == model(fuzz::text(data, size), &names, &residues),
              "success differs from the model: " + error);
  if (!read) {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
    return 0;
  }
  fuzz::check(set.names == names && set.residues == residues, "names or residues");

  const std::string copy = fuzz::scratchDir() + "/safe-copy.fasta";
  fuzz::check(runs::writeSafeCopy(set, copy, &error), "safe copy: " + error);
  runs::DataSet back;
  fuzz::check(runs::readDataSet(copy, &back, &error), "safe copy read back: " + error);
  fuzz::check(back.residues == set.residues, "safe copy residues");
  for (size_t i = 0; i < back.size(); ++i)
    fuzz::check(back.names[i] == runs::safeName(i), "safe name " + std::to_string(i));
  return 0;
}
