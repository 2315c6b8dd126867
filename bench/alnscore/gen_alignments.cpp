// Writes a random reference alignment and a perturbed test alignment of the
// same sequences, and prints the Q and TC that alnscore must find for them
// (with -truncname -ignoretestcase), counted from the generator's own
// placement of every residue rather than from the files.
//
//   alnscore_gen <seed> <sequences> <columns> <outdir> [reference lower-case fraction]
//
// The reference has random gaps and, optionally, lower-case residues. The
// test moves each residue right by an offset that never decreases along
// its row, shuffles the rows, adds a description to each name and writes
// some residues in lower case.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const char kResidues[] = "ACDEFGHIKLMNPQRSTVWY";
constexpr uint32_t kNoColumn = UINT32_MAX;
constexpr uint32_t kMaxShift = 12;

bool writeFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(
        stderr, "usage: %s <seed> <sequences> <columns> <outdir> [reference lower-case fraction]\n",
        argv[0]);
    return 1;
  }
  std::mt19937_64 rng(std::strtoull(argv[1], nullptr, 10));
  const size_t n = std::strtoul(argv[2], nullptr, 10);
  const size_t width = std::strtoul(argv[3], nullptr, 10);
  const std::string outdir = argv[4];
  const double lowerFraction = argc == 6 ? std::strtod(argv[5], nullptr) : 0.0;
  if (n < 2 || width < 1) {
    std::fprintf(stderr, "need at least 2 sequences and 1 column\n");
    return 1;
  }
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_int_distribution<int> residue(0, 19);

  const size_t testWidth = width + kMaxShift;
  std::vector<std::string> reference(n), test(n);
  // Test column of the residue in each reference cell; kNoColumn for gaps.
  std::vector<std::vector<uint32_t>> placed(n, std::vector<uint32_t>(width, kNoColumn));
  for (size_t i = 0; i < n; ++i) {
    std::string& ref = reference[i];
    std::string& tst = test[i];
    ref.assign(width, '-');
    tst.assign(testWidth, '-');
    const double gapRate = 0.05 + 0.2 * unit(rng);
    const double shiftRate = unit(rng) < 0.5 ? 0.0 : 0.01;
    uint32_t shift = 0;
    for (size_t c = 0; c < width; ++c) {
      if (unit(rng) < gapRate) continue;
      char r = kResidues[residue(rng)];
      if (shift < kMaxShift && unit(rng) < shiftRate) ++shift;
      const uint32_t t = static_cast<uint32_t>(c) + shift;
      tst[t] = unit(rng) < 0.05 ? static_cast<char>(r - 'A' + 'a') : r;
      ref[c] = unit(rng) < lowerFraction ? static_cast<char>(r - 'A' + 'a') : r;
      if (ref[c] >= 'A' && ref[c] <= 'Z') placed[i][c] = t;
    }
  }

  // Truth: per reference column, group the counted residues by test column.
  uint64_t pairs = 0, kept = 0, columns = 0, whole = 0;
  std::vector<uint32_t> group;
  for (size_t c = 0; c < width; ++c) {
    group.clear();
    for (size_t i = 0; i < n; ++i) {
      if (placed[i][c] != kNoColumn) group.push_back(placed[i][c]);
    }
    if (group.size() < 2) continue;
    std::sort(group.begin(), group.end());
    uint64_t columnKept = 0;
    for (size_t a = 0, b; a < group.size(); a = b) {
      for (b = a; b < group.size() && group[b] == group[a]; ++b) {
      }
      const uint64_t m = b - a;
      columnKept += m * (m - 1) / 2;
    }
    const uint64_t m = group.size();
    pairs += m * (m - 1) / 2;
    kept += columnKept;
    ++columns;
    if (columnKept == m * (m - 1) / 2) ++whole;
  }

  std::string refText, testText;
  refText.reserve(n * (width + 16));
  testText.reserve(n * (testWidth + 32));
  for (size_t i = 0; i < n; ++i) refText += ">s" + std::to_string(i) + "\n" + reference[i] + "\n";
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);
  for (size_t i : order)
    testText += ">s" + std::to_string(i) + " perturbed copy\n" + test[i] + "\n";
  if (!writeFile(outdir + "/ref.fa", refText) || !writeFile(outdir + "/test.fa", testText)) {
    std::fprintf(stderr, "cannot write into %s\n", outdir.c_str());
    return 1;
  }
  std::printf("pairs %llu of %llu columns %llu of %llu Q %.17g TC %.17g\n",
              static_cast<unsigned long long>(kept), static_cast<unsigned long long>(pairs),
              static_cast<unsigned long long>(whole), static_cast<unsigned long long>(columns),
              pairs ? double(kept) / double(pairs) : 0.0,
              columns ? double(whole) / double(columns) : 0.0);
  return 0;
}
