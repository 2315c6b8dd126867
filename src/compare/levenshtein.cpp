// Edit-distance comparison of two sequences, as a score that grows with
// similarity.
#include <cstring>
#include <string>

#include "compare/edit_distance.h"
#include "getChar.h"

namespace {

// s = 1 - d / L with L the longer length (L > 0).
double normalisedSimilarity(uint64_t distance, size_t longer) {
  return 1.0 - double(distance) / double(longer);
}

}  // namespace

double levenshtein(const std::string& a, const std::string& b) {
  // An empty operand gives the other's length, not a score.
  if (a.empty()) return double(b.size());
  if (b.empty()) return double(a.size());
  uint64_t d = editDistance(a.data(), a.size(), b.data(), b.size());
  size_t longer = a.size() > b.size() ? a.size() : b.size();
  return similarityScore(normalisedSimilarity(d, longer));
}

double uiLevenshteinDistance(const char* a, const char* b, double& similarity) {
  size_t aLength = std::strlen(a);
  size_t bLength = std::strlen(b);
  size_t longer = aLength > bLength ? aLength : bLength;
  // Two empty strings are identical: similarity 1 rather than 0 / 0.
  if (longer == 0) {
    similarity = 1.0;
    return similarityScore(similarity);
  }
  uint64_t d = editDistance(a, aLength, b, bLength);
  similarity = normalisedSimilarity(d, longer);
  return similarityScore(similarity);
}
