// Pairs the reference sequences with the test sequences of the same name.
#ifndef SCORING_SEQUENCE_MATCHING_H
#define SCORING_SEQUENCE_MATCHING_H

#include <string>
#include <string_view>
#include <vector>

#include "scoring/alignment.h"

namespace scoring {

struct MatchOptions {
  bool truncateNames = false;             // compare names up to the first blank
  bool ignoreMissingSequences = false;    // skip reference rows absent from the test
  bool warnOnResidueDifferences = false;  // score differing pairs instead of failing
};

// A reference row and the test row of the same sequence.
struct MatchedRows {
  std::string_view reference;
  std::string_view test;
};

struct MatchSummary {
  size_t missingSequences = 0;    // reference rows skipped, absent from the test
  size_t differingSequences = 0;  // matched pairs whose residues differ
};

// The name used for matching: with truncation, the text before the first
// blank (space or tab).
std::string_view matchingName(const std::string& name, bool truncate);

// True when both rows hold the same residues once gaps are removed,
// upper and lower case taken as equal.
bool sameResidues(std::string_view a, std::string_view b);

// Fills *rows in reference order. Fails on a reference name that appears
// twice, on a matched name that appears twice in the test, on a missing
// sequence (unless ignored) and on differing residues (unless warned of).
// Test sequences the reference does not name are left out.
bool matchSequences(const Alignment& test, const Alignment& reference, const MatchOptions& options,
                    std::vector<MatchedRows>* rows, MatchSummary* summary, std::string* error);

}  // namespace scoring

#endif
