// Writes a reproducible protein FASTA file of about the given size:
// records of 50 to 1,500 residues in 60-column lines, residues drawn with
// natural amino-acid frequencies plus a little X and lower case.
//
// Usage: extract2_generate <output path> <megabytes> [seed]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// splitmix64: small, fast and good enough for test data.
struct Rng {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

// 256 residues in rough natural proportions; a random byte picks one.
std::string residueWheel() {
  const struct {
    char letter;
    int weight;
  } kFreq[] = {{'A', 21}, {'R', 14}, {'N', 10}, {'D', 14}, {'C', 4},  {'Q', 10},
               {'E', 17}, {'G', 18}, {'H', 6},  {'I', 15}, {'L', 23}, {'K', 15},
               {'M', 6},  {'F', 10}, {'P', 12}, {'S', 17}, {'T', 13}, {'W', 3},
               {'Y', 8},  {'V', 17}, {'X', 1},  {'a', 1},  {'l', 1}};
  std::string wheel;
  for (const auto& f : kFreq) wheel.append(static_cast<size_t>(f.weight), f.letter);
  wheel.resize(256, 'L');  // the weights sum to 256
  return wheel;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output path> <megabytes> [seed]\n", argv[0]);
    return 2;
  }
  const uint64_t target = std::strtoull(argv[2], nullptr, 10) << 20;
  Rng rng{argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 42};
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  static char buffer[1 << 20];
  std::setvbuf(out, buffer, _IOFBF, sizeof buffer);

  const std::string wheel = residueWheel();
  std::string record;
  uint64_t written = 0;
  for (uint64_t id = 1; written < target; ++id) {
    record = ">sp|S" + std::to_string(100000 + id) + "|SYN" + std::to_string(id) +
             " Synthetic protein " + std::to_string(id) + "\n";
    const uint64_t length = 50 + rng.next() % 1451;
    uint64_t bits = 0;
    for (uint64_t i = 0; i < length; ++i) {
      if (i % 8 == 0) bits = rng.next();
      record += wheel[bits & 0xFF];
      bits >>= 8;
      if (i % 60 == 59 || i + 1 == length) record += '\n';
    }
    if (std::fwrite(record.data(), 1, record.size(), out) != record.size()) {
      std::perror(argv[1]);
      return 1;
    }
    written += record.size();
  }
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
