// The residue-group kernel against the plain table loop, on 60-residue
// lines (the usual FASTA width) and on one long line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "features/residue_groups.h"

namespace {

std::string randomProtein(size_t size) {
  const std::string letters = "ACDEFGHIKLMNPQRSTVWYX";
  std::mt19937 gen(7);
  std::string s(size, 'A');
  for (char& c : s) c = letters[gen() % letters.size()];
  return s;
}

void plainCount(const char* data, size_t size, uint64_t counts[5]) {
  for (size_t i = 0; i < size; ++i) {
    const uint8_t g = kResidueGroupOf[static_cast<unsigned char>(data[i])];
    if (g < 5) ++counts[g];
  }
}

template <void (*Count)(const char*, size_t, uint64_t*)>
void BM_Lines(benchmark::State& state) {
  const size_t width = static_cast<size_t>(state.range(0));
  const std::string text = randomProtein(1 << 20);
  const size_t lines = text.size() / width;
  for (auto _ : state) {
    uint64_t counts[5] = {0, 0, 0, 0, 0};
    for (size_t l = 0; l < lines; ++l) Count(text.data() + l * width, width, counts);
    benchmark::DoNotOptimize(counts);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lines * width));
}

BENCHMARK_TEMPLATE(BM_Lines, countResidueGroups)->Arg(60)->Arg(1 << 20);
BENCHMARK_TEMPLATE(BM_Lines, plainCount)->Arg(60)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();
