// Writes a seeded random protein FASTA data set on standard output.
//   gen_fasta RECORDS MEAN_LENGTH REPEAT_PERCENT LINE_WIDTH SEED
// Lengths are uniform in [MEAN/2, 3*MEAN/2]; a record repeats the sequence of
// an earlier record with the given probability.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

uint64_t state;
uint64_t next() {  // xorshift64*
  state ^= state >> 12;
  state ^= state << 25;
  state ^= state >> 27;
  return state * 2685821657736338717ULL;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s RECORDS MEAN_LENGTH REPEAT_PERCENT LINE_WIDTH SEED\n", argv[0]);
    return 2;
  }
  const long records = std::atol(argv[1]);
  const long mean = std::atol(argv[2]);
  const long repeatPercent = std::atol(argv[3]);
  const long width = std::atol(argv[4]);
  state = std::strtoull(argv[5], nullptr, 10) * 0x9E3779B97F4A7C15ULL + 1;

  static const char kResidues[] = "ACDEFGHIKLMNPQRSTVWY";
  std::vector<std::string> kept;
  std::string out;
  for (long i = 0; i < records; ++i) {
    std::string seq;
    if (!kept.empty() && static_cast<long>(next() % 100) < repeatPercent) {
      seq = kept[next() % kept.size()];
    } else {
      long len = mean / 2 + static_cast<long>(next() % static_cast<uint64_t>(mean + 1));
      seq.resize(static_cast<size_t>(len));
      for (char& c : seq) c = kResidues[next() % 20];
      kept.push_back(seq);
    }
    out += ">seq" + std::to_string(i) + " generated record\n";
    for (size_t p = 0; p < seq.size(); p += static_cast<size_t>(width)) {
      out.append(seq, p, static_cast<size_t>(width));
      out.push_back('\n');
    }
    if (out.size() > (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
