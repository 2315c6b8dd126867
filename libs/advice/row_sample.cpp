#include "advice/row_sample.h"

#include <algorithm>
#include <numeric>
#include <random>

namespace advice {

std::vector<size_t> sampleRows(size_t records, size_t count, unsigned seed) {
  std::vector<size_t> all(records);
  std::iota(all.begin(), all.end(), 0);
  if (records <= count) return all;
  // A partial Fisher-Yates shuffle: the first `count` are a uniform sample.
  std::mt19937_64 random(seed);
  for (size_t i = 0; i < count; ++i) {
    std::uniform_int_distribution<size_t> pick(i, records - 1);
    std::swap(all[i], all[pick(random)]);
  }
  all.resize(count);
  std::sort(all.begin(), all.end());
  return all;
}

std::vector<std::string> sampledAlignment(const std::vector<std::string>& rows,
                                          const std::vector<size_t>& which) {
  if (which.empty()) return {};
  const size_t width = rows[which[0]].size();
  std::vector<bool> kept(width, false);
  for (size_t i : which)
    for (size_t c = 0; c < width; ++c) kept[c] = kept[c] || rows[i][c] != '-';
  std::vector<std::string> out;
  out.reserve(which.size());
  for (size_t i : which) {
    std::string row;
    row.reserve(width);
    for (size_t c = 0; c < width; ++c)
      if (kept[c]) row += rows[i][c];
    out.push_back(std::move(row));
  }
  return out;
}

}  // namespace advice
