#include "scoring/sequence_matching.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace scoring {

namespace {

constexpr size_t kDuplicate = SIZE_MAX;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string_view matchingName(const std::string& name, bool truncate) {
  std::string_view view(name);
  if (truncate) view = view.substr(0, view.find_first_of(" \t"));
  return view;
}

bool sameResidues(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && isGap(a[i])) ++i;
    while (j < b.size() && isGap(b[j])) ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (upper(a[i]) != upper(b[j])) return false;
    ++i;
    ++j;
  }
}

bool matchSequences(const Alignment& test, const Alignment& reference, const MatchOptions& options,
                    std::vector<MatchedRows>* rows, MatchSummary* summary, std::string* error) {
  rows->clear();
  *summary = MatchSummary();

  std::unordered_map<std::string_view, size_t> testIndex;
  testIndex.reserve(test.sequences.size());
  for (size_t i = 0; i < test.sequences.size(); ++i) {
    auto inserted =
        testIndex.emplace(matchingName(test.sequences[i].name, options.truncateNames), i);
    if (!inserted.second) inserted.first->second = kDuplicate;
  }

  std::unordered_set<std::string_view> seen;
  seen.reserve(reference.sequences.size());
  for (const AlignedSequence& ref : reference.sequences) {
    std::string_view name = matchingName(ref.name, options.truncateNames);
    if (!seen.insert(name).second) {
      *error = "sequence name '" + std::string(name) + "' appears twice in the reference";
      return false;
    }
    auto it = testIndex.find(name);
    if (it == testIndex.end()) {
      if (!options.ignoreMissingSequences) {
        *error = "reference sequence '" + std::string(name) + "' is missing from the test";
        return false;
      }
      ++summary->missingSequences;
      continue;
    }
    if (it->second == kDuplicate) {
      *error = "sequence name '" + std::string(name) + "' appears twice in the test";
      return false;
    }
    const AlignedSequence& tst = test.sequences[it->second];
    if (!sameResidues(ref.row, tst.row)) {
      if (!options.warnOnResidueDifferences) {
        *error =
            "residues of sequence '" + std::string(name) + "' differ between test and reference";
        return false;
      }
      ++summary->differingSequences;
    }
    rows->push_back({ref.row, tst.row});
  }
  return true;
}

}  // namespace scoring
