#include "advice/candidate_features.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "scoring/agreement.h"

namespace advice {

const char* const kFeatureNames[kFeatureCount] = {
    "agreement", "reverse",       "kindBalanced", "otherKinds", "gapOpens",
    "gapLength", "gappedColumns", "width",        "identity",   "conservation"};

namespace {

// Mean of the defined values; fallback when there are none.
struct Mean {
  double sum = 0;
  int count = 0;
  void add(double v) {
    if (std::isnan(v)) return;
    sum += v;
    ++count;
  }
  double value(double fallback = 0) const { return count ? sum / count : fallback; }
};

bool isGap(char c) { return c == '-'; }

// Internal gap runs and their cells, over every row.
void countGapRuns(const std::vector<std::string>& rows, FeatureVector* f) {
  double runs = 0, cells = 0, residues = 0;
  for (const std::string& row : rows) {
    size_t first = 0, last = row.size();
    while (first < last && isGap(row[first])) ++first;
    while (last > first && isGap(row[last - 1])) --last;
    for (size_t c = first; c < last; ++c) {
      if (!isGap(row[c])) {
        ++residues;
        continue;
      }
      ++cells;
      if (!isGap(row[c - 1])) ++runs;  // row[first] is a residue
    }
  }
  (*f)[kGapOpens] = residues > 0 ? runs / residues : 0;
  (*f)[kGapLength] = runs > 0 ? cells / runs : 0;
}

// Identical over aligned residue pairs of rows a and b; false when none.
bool pairIdentity(const std::string& a, const std::string& b, double* identity) {
  size_t aligned = 0, same = 0;
  for (size_t c = 0; c < a.size(); ++c) {
    if (isGap(a[c]) || isGap(b[c])) continue;
    ++aligned;
    same += std::toupper(static_cast<unsigned char>(a[c])) ==
            std::toupper(static_cast<unsigned char>(b[c]));
  }
  if (aligned == 0) return false;
  *identity = static_cast<double>(same) / static_cast<double>(aligned);
  return true;
}

double meanIdentity(const std::vector<std::string>& rows) {
  const size_t n = rows.size();
  const size_t reach = n <= 40 ? n : 21;  // each row with the next 20 beyond 40 rows
  Mean mean;
  for (size_t i = 0; i < n; ++i)
    for (size_t d = 1; d < reach && (n <= 40 ? i + d < n : true); ++d) {
      double identity;
      if (pairIdentity(rows[i], rows[(i + d) % n], &identity)) mean.add(identity);
    }
  return mean.value();
}

double conservation(const std::vector<std::string>& rows, size_t width) {
  double top = 0, residues = 0;
  int counts[256];
  for (size_t c = 0; c < width; ++c) {
    std::fill(counts, counts + 256, 0);
    int inColumn = 0, most = 0;
    for (const std::string& row : rows) {
      if (isGap(row[c])) continue;
      const int k = ++counts[std::toupper(static_cast<unsigned char>(row[c]))];
      most = std::max(most, k);
      ++inColumn;
    }
    if (inColumn < 2) continue;
    top += most;
    residues += inColumn;
  }
  return residues > 0 ? top / residues : 0;
}

bool isAlignment(const std::vector<std::string>& rows) {
  if (rows.empty()) return false;
  for (const std::string& row : rows)
    if (row.size() != rows[0].size()) return false;
  return true;
}

// Mean over the aligners present (own one too unless others), of i's mean
// share with their candidates.
double balancedShare(const std::vector<double>& shares, const std::vector<int>& kinds, size_t i,
                     bool othersOnly) {
  std::map<int, Mean> byKind;
  for (size_t j = 0; j < shares.size(); ++j) {
    if (j == i || (othersOnly && kinds[j] == kinds[i])) continue;
    byKind[kinds[j]].add(shares[j]);
  }
  Mean mean;
  for (const auto& entry : byKind)
    if (entry.second.count) mean.add(entry.second.value());
  return mean.count ? mean.value() : std::nan("");
}

}  // namespace

FeatureVector alignmentShapeFeatures(const std::vector<std::string>& rows) {
  FeatureVector f{};
  if (!isAlignment(rows)) return f;
  const size_t width = rows[0].size();
  countGapRuns(rows, &f);
  size_t gapped = 0, longest = 0;
  for (size_t c = 0; c < width; ++c)
    gapped += std::any_of(rows.begin(), rows.end(),
                          [c](const std::string& r) { return isGap(r[c]); });
  for (const std::string& row : rows)
    longest = std::max(longest, static_cast<size_t>(std::count_if(
                                    row.begin(), row.end(), [](char c) { return !isGap(c); })));
  f[kGappedColumns] = width ? static_cast<double>(gapped) / static_cast<double>(width) : 0;
  f[kWidth] = longest ? static_cast<double>(width) / static_cast<double>(longest) : 0;
  f[kIdentity] = meanIdentity(rows);
  f[kConservation] = conservation(rows, width);
  return f;
}

bool candidateFeatures(const std::vector<std::string>& names,
                       const std::vector<const std::vector<std::string>*>& rows,
                       const std::vector<int>& kinds, std::vector<FeatureVector>* features) {
  for (const std::vector<std::string>* r : rows)
    if (r && r->size() != names.size()) {
      features->assign(rows.size(), FeatureVector{});
      return false;
    }
  return candidateFeatures(rows, kinds, scoring::agreementMatrix(names, rows), features);
}

bool candidateFeatures(const std::vector<const std::vector<std::string>*>& rows,
                       const std::vector<int>& kinds,
                       const std::vector<std::vector<double>>& share,
                       std::vector<FeatureVector>* features) {
  const size_t n = rows.size();
  features->assign(n, FeatureVector{});
  if (n < 2 || kinds.size() != n || share.size() != n) return false;
  for (const std::vector<std::string>* r : rows)
    if (!r || !isAlignment(*r) || r->size() != rows[0]->size()) return false;
  for (size_t i = 0; i < n; ++i) {
    FeatureVector& f = (*features)[i];
    f = alignmentShapeFeatures(*rows[i]);
    Mean plain, reverse;
    std::vector<double> column(n);
    for (size_t j = 0; j < n; ++j) {
      plain.add(share[i][j]);
      reverse.add(share[j][i]);
      column[j] = share[i][j];
    }
    f[kAgreement] = plain.value();
    f[kReverse] = reverse.value();
    const double balanced = balancedShare(column, kinds, i, false);
    const double others = balancedShare(column, kinds, i, true);
    f[kKindBalanced] = std::isnan(balanced) ? f[kAgreement] : balanced;
    f[kOtherKinds] = std::isnan(others) ? f[kAgreement] : others;
  }
  return true;
}

}  // namespace advice
