// Simulates one large protein family and its true alignment, for benchmarks
// of 1,000 to 100,000 sequences and more.
//
//   simulate_large OUT_PREFIX --sequences N [--length L] [--height H]
//                  [--indel-rate R] [--seed S]
//
// Writes OUT_PREFIX.fasta (the tips t1..tN, unaligned, 60 residues a line)
// and OUT_PREFIX.ref.fasta (their true alignment, aligned FASTA in the same
// order, 60 a line, columns that are gaps in every row removed). Each file is
// written under a temporary name (.tmp appended) and renamed when complete.
// Exit 0; 2 on a usage error, with one line on stderr; 1 when a file cannot
// be written, with a message and never a half file under the final name.
// The same options give byte-identical files.
//
// Model. A Yule tree with N tips (random splits), ultrametric and scaled so
// that root to tip is H expected substitutions per site (default 0.6). The
// root sequence has L residues (default 250) drawn from the LG equilibrium
// frequencies. Substitutions are F81 on those frequencies (a change draws the
// new residue from them), with a gamma rate per column (continuous, shape 1).
// Insertions and deletions each occur at rate R per site per unit of branch
// length (default 0.03), of Zipf lengths (exponent 1.7, at most 40); inserted
// residues come from the equilibrium frequencies. Tips are numbered in random
// order, so the file order tells nothing of the tree. Seed S (default 1) is
// any whole number below 2^64.
//
// Alignment. Every residue carries the identity of its column. All columns
// ever made sit in one linked list, the global column order, and an
// insertion links its new columns right after the column of its left
// neighbour: the sequence's columns were in list order, so they still are,
// and walking the list once at the end numbers the alignment's columns.
// The tree is walked depth first, a node's sequence going on to its first
// child while a copy waits for the second, so only the tips and one sequence
// per level of the walk are held.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kUsage[] =
    "usage: simulate_large OUT_PREFIX --sequences N [--length L] [--height H] [--indel-rate R] "
    "[--seed S]";

// LG equilibrium frequencies (Le and Gascuel 2008), in the order of kAlphabet.
const char kAlphabet[] = "ARNDCQEGHILKMFPSTWYV";
const double kLG[20] = {0.079066, 0.055941, 0.041977, 0.053052, 0.012937, 0.040767, 0.071586,
                        0.057337, 0.022355, 0.062157, 0.099081, 0.064600, 0.022951, 0.042302,
                        0.044040, 0.061197, 0.053287, 0.012066, 0.034155, 0.069147};

constexpr uint32_t kNone = UINT32_MAX;
constexpr int kMaxIndel = 40;
constexpr double kZipfExponent = 1.7;
constexpr size_t kLine = 60;

// Temporary files of this run, removed when it fails.
std::vector<std::string> temporaries;

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "simulate_large: %s\n", message.c_str());
  for (const std::string& t : temporaries) std::remove(t.c_str());
  std::exit(1);
}

// splitmix64 with our own conversions: the same draws on every platform,
// which the std distributions do not promise.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // In [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // Exponential, mean 1.
  double exponential() { return -std::log1p(-unit()); }
  // In [0, n).
  size_t below(size_t n) {
    const size_t i = static_cast<size_t>(unit() * static_cast<double>(n));
    return i < n ? i : n - 1;
  }
  // Index drawn by a table of cumulative weights.
  size_t pick(const std::vector<double>& cumulative) {
    const double x = unit() * cumulative.back();
    size_t i = 0;
    while (cumulative[i] <= x) ++i;
    return i;
  }
};

// Ultrametric Yule tree. Node 0 is the root; an inner node's children are
// two consecutive nodes.
struct Tree {
  std::vector<uint32_t> child;  // first child, kNone at a tip
  std::vector<double> length;   // of the branch above the node
  std::vector<uint32_t> label;  // 0..N-1 at a tip
};

Tree yule(uint32_t tips, double height, Random& rng) {
  Tree tree;
  std::vector<double> born{0.0};
  tree.child.push_back(kNone);
  tree.length.push_back(0.0);
  std::vector<uint32_t> alive{0};
  double now = 0.0;
  while (alive.size() < tips) {
    // The root splits at once: no stem above the first split.
    if (alive.size() > 1) now += rng.exponential() / static_cast<double>(alive.size());
    const size_t i = rng.below(alive.size());
    const uint32_t v = alive[i];
    const uint32_t first = static_cast<uint32_t>(tree.child.size());
    tree.child[v] = first;
    tree.length[v] = now - born[v];
    for (int k = 0; k < 2; ++k) {
      tree.child.push_back(kNone);
      tree.length.push_back(0.0);
      born.push_back(now);
    }
    alive[i] = first;
    alive.push_back(first + 1);
  }
  now += rng.exponential() / static_cast<double>(tips);
  for (uint32_t v : alive) tree.length[v] = now - born[v];
  for (double& x : tree.length) x *= height / now;

  std::vector<uint32_t> order(tips);
  for (uint32_t i = 0; i < tips; ++i) order[i] = i;
  for (size_t i = tips; i > 1; --i) std::swap(order[i - 1], order[rng.below(i)]);
  tree.label.assign(tree.child.size(), kNone);
  for (uint32_t i = 0; i < tips; ++i) tree.label[alive[i]] = order[i];
  return tree;
}

struct Site {
  uint32_t column;
  char residue;
};
using Sequence = std::vector<Site>;

class Evolver {
 public:
  Evolver(double indelRate, Random& rng) : indelRate_(indelRate), rng_(rng) {
    double sum = 0.0, squares = 0.0;
    for (double f : kLG) {
      residueCumulative_.push_back(sum += f);
      squares += f * f;
    }
    // F81 events that redraw the same residue change nothing; scale so that
    // a unit of branch length is one expected change per site.
    beta_ = 1.0 / (1.0 - squares / (sum * sum));
    double weight = 0.0;
    for (int k = 1; k <= kMaxIndel; ++k)
      lengthCumulative_.push_back(weight += std::pow(k, -kZipfExponent));
    next_.push_back(kNone);  // column 0 is the head of the list, no column of its own
    rate_.push_back(0.0f);
  }

  Sequence root(size_t length) {
    Sequence s;
    uint32_t after = 0;
    for (size_t i = 0; i < length; ++i) s.push_back({after = newColumn(after), residue()});
    return s;
  }

  void evolve(Sequence& s, double t) {
    if (t <= 0.0) return;
    // Substitutions over the whole branch first. A residue inserted on the
    // way is drawn from the equilibrium and F81 keeps it there, so leaving
    // it unchanged on this branch changes no distribution.
    for (Site& x : s)
      if (rng_.unit() < -std::expm1(-beta_ * rate_[x.column] * t)) x.residue = residue();
    if (indelRate_ <= 0.0) return;
    for (double now = 0.0;;) {
      const double n = static_cast<double>(s.size());
      const double insertions = indelRate_ * (n + 1.0), total = insertions + indelRate_ * n;
      now += rng_.exponential() / total;
      if (now >= t) return;
      const size_t k = 1 + rng_.pick(lengthCumulative_);
      if (rng_.unit() * total < insertions) {
        const size_t at = rng_.below(s.size() + 1);
        uint32_t after = at > 0 ? s[at - 1].column : 0;
        Sequence added(k);
        for (Site& x : added) x = {after = newColumn(after), residue()};
        s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
      } else {
        // Any start that overlaps the sequence, also off either end, so
        // that the ends lose residues as often as the middle.
        const size_t start = rng_.below(s.size() + k - 1);  // shifted by k - 1
        const size_t from = start < k - 1 ? 0 : start - (k - 1);
        const size_t to = std::min(start + 1, s.size());
        s.erase(s.begin() + static_cast<std::ptrdiff_t>(from),
                s.begin() + static_cast<std::ptrdiff_t>(to));
      }
    }
  }

  const std::vector<uint32_t>& order() const { return next_; }

 private:
  char residue() { return kAlphabet[rng_.pick(residueCumulative_)]; }

  // A new column, linked into the global order right after AFTER.
  uint32_t newColumn(uint32_t after) {
    if (next_.size() >= kNone - 1) fail("more than 2^32 - 2 columns; lower the indel rate");
    const uint32_t c = static_cast<uint32_t>(next_.size());
    next_.push_back(next_[after]);
    next_[after] = c;
    rate_.push_back(static_cast<float>(rng_.exponential()));
    return c;
  }

  double indelRate_;
  Random& rng_;
  double beta_;
  std::vector<double> residueCumulative_, lengthCumulative_;
  std::vector<uint32_t> next_;  // the column after each in the global order
  std::vector<float> rate_;     // relative substitution rate of each column
};

// One output file, written under PATH.tmp until rename().
class Output {
 public:
  explicit Output(std::string path) : path_(std::move(path)), temp_(path_ + ".tmp") {
    file_ = std::fopen(temp_.c_str(), "wb");
    if (!file_) failed();
    temporaries.push_back(temp_);
  }
  void put(const char* p, size_t n) {
    if (std::fwrite(p, 1, n, file_) != n) failed();
  }
  void put(const std::string& s) { put(s.data(), s.size()); }
  void close() {
    if (std::fclose(file_) != 0) failed();
  }
  void rename() {
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) failed();
  }

 private:
  [[noreturn]] void failed() { fail("cannot write " + path_ + ": " + std::strerror(errno)); }

  std::string path_, temp_;
  std::FILE* file_;
};

[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "simulate_large: %s\n", message.c_str());
  std::exit(2);
}

uint64_t wholeNumber(const char* option, const char* text, uint64_t lo, uint64_t hi) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (*text < '0' || *text > '9' || *end != '\0' || errno == ERANGE || v < lo || v > hi)
    usageError(std::string(option) + " wants a whole number from " + std::to_string(lo) + " to " +
               std::to_string(hi) + ", not '" + text + "'");
  return v;
}

double number(const char* option, const char* text, double lo, double hi) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(v >= lo && v <= hi)) {
    char range[64];
    std::snprintf(range, sizeof range, " wants a number from %g to %g, not '", lo, hi);
    usageError(option + std::string(range) + text + "'");
  }
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  std::string prefix;
  uint64_t tips = 0, length = 250, seed = 1;
  double height = 0.6, indelRate = 0.03;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::printf("%s\n", kUsage);
      return 0;
    }
    if (a.size() > 1 && a[0] == '-') {
      if (a != "--sequences" && a != "--length" && a != "--height" && a != "--indel-rate" &&
          a != "--seed")
        usageError("unknown option '" + a + "'");
      if (i + 1 == argc) usageError(a + " wants a value");
      const char* v = argv[++i];
      if (a == "--sequences") tips = wholeNumber(argv[i - 1], v, 1, 10000000);
      if (a == "--length") length = wholeNumber(argv[i - 1], v, 1, 1000000);
      if (a == "--height") height = number(argv[i - 1], v, 0.0, 100.0);
      if (a == "--indel-rate") indelRate = number(argv[i - 1], v, 0.0, 10.0);
      if (a == "--seed") seed = wholeNumber(argv[i - 1], v, 0, UINT64_MAX);
    } else if (prefix.empty() && !a.empty()) {
      prefix = a;
    } else {
      usageError(a.empty() ? "empty OUT_PREFIX" : "unexpected argument '" + a + "'");
    }
  }
  if (prefix.empty() || tips == 0) {
    std::fprintf(stderr, "%s\n", kUsage);
    return 2;
  }
  const uint32_t n = static_cast<uint32_t>(tips);

  // Opened first, so that an unwritable place fails before the work.
  Output seqFile(prefix + ".fasta"), refFile(prefix + ".ref.fasta");

  Random rng{seed};
  const Tree tree = yule(n, height, rng);
  Evolver evolver(indelRate, rng);
  std::vector<std::string> residues(n);
  std::vector<std::vector<uint32_t>> columns(n);
  std::vector<std::pair<uint32_t, Sequence>> pending;
  pending.emplace_back(0, evolver.root(length));
  while (!pending.empty()) {
    const uint32_t v = pending.back().first;
    Sequence s = std::move(pending.back().second);
    pending.pop_back();
    evolver.evolve(s, tree.length[v]);
    if (tree.child[v] == kNone) {
      const uint32_t t = tree.label[v];
      residues[t].reserve(s.size());
      columns[t].reserve(s.size());
      for (const Site& x : s) {
        residues[t] += x.residue;
        columns[t].push_back(x.column);
      }
    } else {
      pending.emplace_back(tree.child[v] + 1, s);
      pending.emplace_back(tree.child[v], std::move(s));
    }
  }

  // Number the columns some tip holds (marked first), in the global order;
  // the others are gaps in every row.
  {
    const std::vector<uint32_t>& next = evolver.order();
    std::vector<uint32_t> rank(next.size(), kNone);
    for (const auto& row : columns)
      for (uint32_t c : row) rank[c] = 0;
    uint32_t width = 0;
    for (uint32_t c = next[0]; c != kNone; c = next[c])
      if (rank[c] != kNone) rank[c] = width++;
    for (auto& row : columns)
      for (uint32_t& c : row) c = rank[c];
    std::string line;
    for (uint32_t c = 0; c < width; ++c) {
      line += '-';
      if (c % kLine == kLine - 1 || c + 1 == width) line += '\n';
    }

    std::string buffer;
    for (uint32_t t = 0; t < n; ++t) {
      buffer += ">t" + std::to_string(t + 1) + "\n";
      for (size_t i = 0; i < residues[t].size(); i += kLine)
        buffer.append(residues[t], i, kLine) += '\n';
      if (buffer.size() >= (1u << 20)) {
        seqFile.put(buffer);
        buffer.clear();
      }
    }
    seqFile.put(buffer);
    seqFile.close();

    // One gap-filled row with its line breaks, residues set and reset.
    for (uint32_t t = 0; t < n; ++t) {
      refFile.put(">t" + std::to_string(t + 1) + "\n");
      const std::vector<uint32_t>& row = columns[t];
      for (size_t j = 0; j < row.size(); ++j) line[row[j] + row[j] / kLine] = residues[t][j];
      refFile.put(line);
      for (uint32_t c : row) line[c + c / kLine] = '-';
    }
    refFile.close();
  }
  seqFile.rename();
  refFile.rename();
  return 0;
}
