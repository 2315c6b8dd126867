#include "scoring/column_support.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace scoring {
namespace {

bool isGap(char c) { return c == '-' || c == '.'; }

bool sameLength(const std::vector<std::string>& rows) {
  for (const std::string& r : rows)
    if (r.size() != rows[0].size()) return false;
  return true;
}

// Per row, the column of each residue of an alignment; false when a row's
// residues are not those of the chosen alignment's row.
bool residueColumns(const std::vector<std::string>& rows, const std::vector<std::string>& chosen,
                    std::vector<std::vector<int>>* columns) {
  columns->assign(rows.size(), {});
  for (size_t r = 0; r < rows.size(); ++r) {
    const std::string& mine = chosen[r];
    size_t j = 0;
    for (size_t c = 0; c < rows[r].size(); ++c) {
      if (isGap(rows[r][c])) continue;
      while (j < mine.size() && isGap(mine[j])) ++j;
      if (j == mine.size() || std::toupper(static_cast<unsigned char>(mine[j])) !=
                                  std::toupper(static_cast<unsigned char>(rows[r][c])))
        return false;
      (*columns)[r].push_back(static_cast<int>(c));
      ++j;
    }
    while (j < mine.size() && isGap(mine[j])) ++j;
    if (j != mine.size()) return false;
  }
  return true;
}

}  // namespace

bool columnSupport(const std::vector<std::string>& chosen,
                   const std::vector<const std::vector<std::string>*>& others,
                   const std::vector<double>& weights, ColumnSupport* out, std::string* error) {
  if (chosen.empty() || !sameLength(chosen)) {
    *error = "the chosen alignment has no rows, or rows of different lengths";
    return false;
  }
  double totalWeight = 0;
  for (double w : weights) {
    if (!std::isfinite(w) || w < 0) {
      *error = "a weight is negative or not finite";
      return false;
    }
    totalWeight += w;
  }
  if (weights.size() != others.size() || !(totalWeight > 0)) {
    *error = "not one weight per other alignment, or no weight above 0";
    return false;
  }
  const size_t rows = chosen.size(), width = chosen[0].size();

  // The chosen alignment's residues column by column: (row, residue index).
  std::vector<size_t> start(width + 1, 0);
  for (const std::string& r : chosen)
    for (size_t c = 0; c < width; ++c) start[c + 1] += !isGap(r[c]);
  for (size_t c = 0; c < width; ++c) start[c + 1] += start[c];
  std::vector<int> entryRow(start[width]), entryResidue(start[width]);
  {
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (size_t r = 0; r < rows; ++r)
      for (size_t c = 0, k = 0; c < width; ++c)
        if (!isGap(chosen[r][c])) {
          entryRow[next[c]] = static_cast<int>(r);
          entryResidue[next[c]++] = static_cast<int>(k++);
        }
  }

  std::vector<double> columnSum(width, 0);
  std::vector<std::vector<double>> residueSum(rows);
  for (size_t r = 0; r < rows; ++r) {
    size_t residues = 0;
    for (char c : chosen[r]) residues += !isGap(c);
    residueSum[r].assign(residues, 0);
  }
  std::vector<std::vector<int>> columnOf;
  std::vector<int> groupSize;
  for (size_t o = 0; o < others.size(); ++o) {
    const std::vector<std::string>* other = others[o];
    if (other == nullptr || other->size() != rows || !sameLength(*other) ||
        !residueColumns(*other, chosen, &columnOf)) {
      *error = "alignment " + std::to_string(o + 1) +
               " does not hold the chosen alignment's residues in rows of one length";
      return false;
    }
    if (weights[o] == 0) continue;
    groupSize.assign(other->empty() ? 0 : (*other)[0].size(), 0);
    for (size_t c = 0; c < width; ++c) {
      const size_t n = start[c + 1] - start[c];
      if (n < 2) continue;
      for (size_t e = start[c]; e < start[c + 1]; ++e)
        ++groupSize[columnOf[entryRow[e]][entryResidue[e]]];
      double aligned = 0;
      for (size_t e = start[c]; e < start[c + 1]; ++e) {
        int& g = groupSize[columnOf[entryRow[e]][entryResidue[e]]];
        residueSum[entryRow[e]][entryResidue[e]] += weights[o] * (g - 1) / double(n - 1);
        aligned += g - 1;  // each residue's partners: twice the pairs in all
      }
      columnSum[c] += weights[o] * aligned / (double(n) * double(n - 1));
      for (size_t e = start[c]; e < start[c + 1]; ++e)
        groupSize[columnOf[entryRow[e]][entryResidue[e]]] = 0;
    }
  }

  const double none = std::numeric_limits<double>::quiet_NaN();
  out->columns.assign(width, none);
  out->residues.assign(rows, {});
  for (size_t r = 0; r < rows; ++r) out->residues[r].assign(residueSum[r].size(), none);
  for (size_t c = 0; c < width; ++c) {
    if (start[c + 1] - start[c] < 2) continue;
    out->columns[c] = columnSum[c] / totalWeight;
    for (size_t e = start[c]; e < start[c + 1]; ++e)
      out->residues[entryRow[e]][entryResidue[e]] =
          residueSum[entryRow[e]][entryResidue[e]] / totalWeight;
  }
  return true;
}

}  // namespace scoring
