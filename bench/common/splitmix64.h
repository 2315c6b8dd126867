// The benchmarks' seeded random numbers: splitmix64, small, fast and the
// same draws on every platform, which the std distributions do not promise.
// Header only, for the generators that link nothing of the project.
#ifndef GETCHAR_BENCH_COMMON_SPLITMIX64_H
#define GETCHAR_BENCH_COMMON_SPLITMIX64_H

#include <cstdint>

struct SplitMix64 {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

#endif
