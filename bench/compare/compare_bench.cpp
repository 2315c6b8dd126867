// Edit distance and global alignment against their peers, same inputs.
#include <benchmark/benchmark.h>

#include <string>

#include "compare/edit_distance.h"
#include "getChar.h"
#include "peers.h"

namespace {

// The pair compared at the benchmark's length.
struct Pair {
  explicit Pair(const benchmark::State& state)
      : a(randomProtein(state.range(0), 1)), b(randomProtein(state.range(0), 2)) {}
  std::string a, b;
};

// Edit distance on pairs of each kind (see peers.h) at the benchmark's
// length.
void levenshteinOwn(benchmark::State& state, std::string kind) {
  ProteinPair p = proteinPair(kind, state.range(0));
  // The same distance as the peer, or the timing means nothing.
  if (editDistance(p.a.data(), p.a.size(), p.b.data(), p.b.size()) !=
      uint64_t(edlibDistance(p.a, p.b))) {
    state.SkipWithError("distance differs from edlib's");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(levenshtein(p.a, p.b));
}

void levenshteinEdlib(benchmark::State& state, std::string kind) {
  ProteinPair p = proteinPair(kind, state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(edlibDistance(p.a, p.b));
}

void needlemanWunschOwn(benchmark::State& state) {
  Pair p(state);
  for (auto _ : state) benchmark::DoNotOptimize(NeedlemanWunsch(p.a, p.b));
}

// The trace table alone, without reading the alignment off it: less work
// than NeedlemanWunsch, which also walks its traceback.
void needlemanWunschParasail(benchmark::State& state, std::string variant) {
  Pair p(state);
  for (auto _ : state) benchmark::DoNotOptimize(parasailAlign(variant, p.a, p.b, false));
}

void registerAll() {
  const auto ms = benchmark::kMillisecond;
  for (const std::string& kind : pairKinds()) {
    for (int length : {10000, 50000, 100000}) {
      benchmark::RegisterBenchmark(("levenshtein/own/" + kind).c_str(), levenshteinOwn, kind)
          ->Arg(length)
          ->Unit(ms)
          ->UseRealTime();
      benchmark::RegisterBenchmark(("levenshtein/edlib/" + kind).c_str(), levenshteinEdlib, kind)
          ->Arg(length)
          ->Unit(ms)
          ->UseRealTime();
    }
  }
  for (int length : {2000, 10000}) {
    benchmark::RegisterBenchmark("nw/own", needlemanWunschOwn)
        ->Arg(length)
        ->Unit(ms)
        ->UseRealTime();
    for (const std::string& variant : parasailVariants()) {
      benchmark::RegisterBenchmark(("nw/parasail_" + variant).c_str(), needlemanWunschParasail,
                                   variant)
          ->Arg(length)
          ->Unit(ms)
          ->UseRealTime();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
