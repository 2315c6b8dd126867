// The benchmarks' one generator of seeded random protein FASTA data sets,
// written on standard output.
//
//   gen_fasta (--records N | --megabytes M) [--lengths MIN,MAX] [--repeats P]
//             [--width W] [--uniprot] [--seed S]
//
// Stops after N records, or once M MiB are written. Lengths are uniform in
// [MIN, MAX] (default 50,1500); a record repeats the sequence of an earlier
// record with probability P percent (default 0); lines are W residues wide
// (default 60). Records are >seqI with the 20 standard residues drawn
// uniformly, or with --uniprot >sp|S...|SYNI headers and residues in rough
// natural proportions with a little X and lower case. The same options give
// byte-identical output. Exit 2 on a usage error, 1 when writing fails.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../common/splitmix64.h"

namespace {

const char kUsage[] =
    "usage: gen_fasta (--records N | --megabytes M) [--lengths MIN,MAX] [--repeats P] "
    "[--width W] [--uniprot] [--seed S]\n";

[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "gen_fasta: %s\n%s", message.c_str(), kUsage);
  std::exit(2);
}

uint64_t wholeNumber(const char* option, const char* text, uint64_t low, uint64_t high) {
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (*text == '\0' || *text == '-' || *end != '\0' || v < low || v > high)
    usageError(std::string(option) + " wants a whole number from " + std::to_string(low) +
               " to " + std::to_string(high) + ", not '" + text + "'");
  return v;
}

// 256 residues: a random byte picks one. Uniform over the 20 standard
// residues (the 16 left over repeat the first ones), or in rough natural
// proportions with a little X and lower case.
std::string residueWheel(bool natural) {
  std::string wheel;
  if (!natural) {
    const std::string standard = "ACDEFGHIKLMNPQRSTVWY";
    while (wheel.size() < 240) wheel += standard;
    return wheel;  // 240 = 12 * 20: a byte at or above 240 is drawn again
  }
  const struct {
    char letter;
    int weight;
  } kFrequencies[] = {{'A', 21}, {'R', 14}, {'N', 10}, {'D', 14}, {'C', 4},  {'Q', 10},
                      {'E', 17}, {'G', 18}, {'H', 6},  {'I', 15}, {'L', 23}, {'K', 15},
                      {'M', 6},  {'F', 10}, {'P', 12}, {'S', 17}, {'T', 13}, {'W', 3},
                      {'Y', 8},  {'V', 17}, {'X', 1},  {'a', 1},  {'l', 1}};
  for (const auto& f : kFrequencies) wheel.append(static_cast<size_t>(f.weight), f.letter);
  return wheel;  // the weights sum to 256
}

struct Options {
  uint64_t records = 0, megabytes = 0, minLength = 50, maxLength = 1500, repeats = 0, width = 60,
           seed = 42;
  bool uniprot = false;
};

Options parse(int argc, char** argv) {
  Options o;
  bool sized = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    }
    if (a == "--uniprot") {
      o.uniprot = true;
      continue;
    }
    if (i + 1 == argc) usageError(a + (a.rfind("--", 0) == 0 ? " wants a value" : ": unknown"));
    const char* v = argv[++i];
    if (a == "--records" || a == "--megabytes") {
      if (sized) usageError("--records or --megabytes, once");
      sized = true;
      (a == "--records" ? o.records : o.megabytes) = wholeNumber(a.c_str(), v, 1, 1ull << 40);
    } else if (a == "--lengths") {
      const char* comma = std::strchr(v, ',');
      if (!comma) usageError("--lengths wants MIN,MAX, not '" + std::string(v) + "'");
      o.minLength = wholeNumber("--lengths", std::string(v, comma).c_str(), 1, 100000000);
      o.maxLength = wholeNumber("--lengths", comma + 1, o.minLength, 100000000);
    } else if (a == "--repeats") {
      o.repeats = wholeNumber("--repeats", v, 0, 100);
    } else if (a == "--width") {
      o.width = wholeNumber("--width", v, 1, 1000000000);
    } else if (a == "--seed") {
      o.seed = wholeNumber("--seed", v, 0, UINT64_MAX);
    } else {
      usageError("unknown option '" + a + "'");
    }
  }
  if (!sized) usageError("--records or --megabytes is needed");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  SplitMix64 rng{o.seed};
  const std::string wheel = residueWheel(o.uniprot);
  const uint64_t target = o.megabytes << 20;
  std::vector<std::string> kept;  // distinct sequences, for repeats
  std::string out, seq;
  uint64_t written = 0;  // flushed and held in out
  for (uint64_t i = 1; o.records ? i <= o.records : written + out.size() < target; ++i) {
    if (!kept.empty() && rng.next() % 100 < o.repeats) {
      seq = kept[rng.next() % kept.size()];
    } else {
      const uint64_t length = o.minLength + rng.next() % (o.maxLength - o.minLength + 1);
      seq.clear();
      uint64_t bits = 0;
      int bytesLeft = 0;
      while (seq.size() < length) {
        if (bytesLeft == 0) {
          bits = rng.next();
          bytesLeft = 8;
        }
        const unsigned byte = static_cast<unsigned>(bits & 0xFF);
        bits >>= 8;
        --bytesLeft;
        if (byte < wheel.size()) seq += wheel[byte];
      }
      if (o.repeats) kept.push_back(seq);
    }
    out += o.uniprot ? ">sp|S" + std::to_string(100000 + i) + "|SYN" + std::to_string(i) +
                           " Synthetic protein " + std::to_string(i) + "\n"
                     : ">seq" + std::to_string(i) + " generated record\n";
    for (size_t p = 0; p < seq.size(); p += o.width) {
      out.append(seq, p, o.width);
      out.push_back('\n');
    }
    if (out.size() > (1 << 20)) {
      if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) break;
      written += out.size();
      out.clear();
    }
  }
  if (!std::ferror(stdout)) std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::perror("gen_fasta: standard output");
    return 1;
  }
  return 0;
}
