// Simulates one large protein family and its true alignment, for benchmarks
// of 1,000 to 100,000 sequences and more.
//
//   simulate_large OUT_PREFIX --sequences N [--length L] [--height H]
//                  [--indel-rate R] [--seed S] [--clades K LO,HI] [--remote M]
//                  [--duplicates F] [--fragments F] [--scored ROWS]
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
// What real large families have, each off by default (and then the draws,
// and the files, are those of the plain model):
//   --clades K LO,HI  the tips not taken below form K clades of random sizes
//                     (at least 2 each), each a Yule tree of its own height,
//                     drawn log-uniformly from LO to HI (at most H), hung from
//                     the root on a stem that makes it H deep: tight clades of
//                     near-identical sequences beside diverse ones
//   --remote M        M remote members, each alone on a branch of 2H
//   --duplicates F    a share F of the tips are near-duplicates of another tip
//                     (each residue redrawn with probability 0.02, no indels)
//   --fragments F     each tip, with probability F, keeps only a stretch of 30
//                     to 70 % of its residues (the rest are gaps in the truth)
//   --scored ROWS     the reference holds ROWS rows only, drawn among the tips
//                     that are not duplicates, as large-family benchmarks
//                     score a few curated members among many
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

#include "../common/splitmix64.h"

namespace {

const char kUsage[] =
    "usage: simulate_large OUT_PREFIX --sequences N [--length L] [--height H] [--indel-rate R] "
    "[--seed S] [--clades K LO,HI] [--remote M] [--duplicates F] [--fragments F] [--scored ROWS]";

constexpr double kDuplicateChange = 0.02;

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

// splitmix64 with our own conversions, the same on every platform.
struct Random : SplitMix64 {
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

  char residue() { return kAlphabet[rng_.pick(residueCumulative_)]; }

 private:
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

// The shape options, all off by default.
struct Shape {
  uint32_t clades = 1;
  double cladeLow = 0, cladeHigh = 0;
  uint32_t remote = 0, scored = 0;
  double duplicates = 0, fragments = 0;
  bool plain() const {
    return clades == 1 && remote == 0 && duplicates == 0 && fragments == 0 && scored == 0;
  }
};

// K clade sizes of random proportions, each at least 2, summing to tips.
std::vector<uint32_t> cladeSizes(uint32_t tips, uint32_t clades, Random& rng) {
  if (clades == 1) return {tips};
  std::vector<double> weight(clades);
  double sum = 0;
  for (double& w : weight) sum += w = rng.exponential();
  std::vector<uint32_t> sizes(clades);
  uint32_t given = 0;
  for (uint32_t k = 0; k < clades; ++k) {
    sizes[k] = 2 + static_cast<uint32_t>((tips - 2 * clades) * weight[k] / sum);
    given += sizes[k];
  }
  sizes[static_cast<size_t>(std::max_element(weight.begin(), weight.end()) - weight.begin())] +=
      tips - given;
  return sizes;
}

// The tips' residues and their column ids.
struct Tips {
  std::vector<std::string> residues;
  std::vector<std::vector<uint32_t>> columns;
  void keep(uint32_t t, const Sequence& s) {
    residues[t].reserve(s.size());
    columns[t].reserve(s.size());
    for (const Site& x : s) {
      residues[t] += x.residue;
      columns[t].push_back(x.column);
    }
  }
};

// Evolves start down the tree (its root branch included); tip label l goes
// to tips index offset + l.
void walk(const Tree& tree, Sequence start, uint32_t offset, Evolver& evolver, Tips& tips) {
  std::vector<std::pair<uint32_t, Sequence>> pending;
  pending.emplace_back(0, std::move(start));
  while (!pending.empty()) {
    const uint32_t v = pending.back().first;
    Sequence s = std::move(pending.back().second);
    pending.pop_back();
    evolver.evolve(s, tree.length[v]);
    if (tree.child[v] == kNone) {
      tips.keep(offset + tree.label[v], s);
    } else {
      pending.emplace_back(tree.child[v] + 1, s);
      pending.emplace_back(tree.child[v], std::move(s));
    }
  }
}

// Near-duplicates, fragments, and the names' order; scored[t] marks the
// rows of the reference. Drawn only for the options given.
void shapeTips(const Shape& shape, uint32_t firstDuplicate, Evolver& evolver, Random& rng,
               Tips& tips, std::vector<uint32_t>* name, std::vector<bool>* scored) {
  const uint32_t n = static_cast<uint32_t>(tips.residues.size());
  for (uint32_t t = firstDuplicate; t < n; ++t) {
    const uint32_t from = static_cast<uint32_t>(rng.below(firstDuplicate));
    tips.residues[t] = tips.residues[from];
    tips.columns[t] = tips.columns[from];
    for (char& c : tips.residues[t])
      if (rng.unit() < kDuplicateChange) c = evolver.residue();
  }
  if (shape.fragments > 0)
    for (uint32_t t = 0; t < n; ++t) {
      if (rng.unit() >= shape.fragments || tips.residues[t].size() < 10) continue;
      const size_t size = tips.residues[t].size();
      const size_t keep = std::max<size_t>(1, static_cast<size_t>(size * (0.3 + 0.4 * rng.unit())));
      const size_t from = rng.below(size - keep + 1);
      tips.residues[t] = tips.residues[t].substr(from, keep);
      tips.columns[t] = std::vector<uint32_t>(tips.columns[t].begin() + static_cast<std::ptrdiff_t>(from),
                                              tips.columns[t].begin() + static_cast<std::ptrdiff_t>(from + keep));
    }
  name->resize(n);
  for (uint32_t t = 0; t < n; ++t) (*name)[t] = t;
  if (!shape.plain())
    for (size_t i = n; i > 1; --i) std::swap((*name)[i - 1], (*name)[rng.below(i)]);
  scored->assign(n, shape.scored == 0);
  if (shape.scored > 0) {
    std::vector<uint32_t> pool(firstDuplicate);
    for (uint32_t t = 0; t < firstDuplicate; ++t) pool[t] = t;
    for (uint32_t k = 0; k < shape.scored && k < firstDuplicate; ++k) {
      std::swap(pool[k], pool[k + rng.below(firstDuplicate - k)]);
      (*scored)[pool[k]] = true;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string prefix;
  uint64_t tips = 0, length = 250, seed = 1;
  double height = 0.6, indelRate = 0.03;
  Shape shape;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::printf("%s\n", kUsage);
      return 0;
    }
    if (a.size() > 1 && a[0] == '-') {
      if (a != "--sequences" && a != "--length" && a != "--height" && a != "--indel-rate" &&
          a != "--seed" && a != "--clades" && a != "--remote" && a != "--duplicates" &&
          a != "--fragments" && a != "--scored")
        usageError("unknown option '" + a + "'");
      if (i + 1 == argc || (a == "--clades" && i + 2 == argc)) usageError(a + " wants a value");
      const char* v = argv[++i];
      if (a == "--sequences") tips = wholeNumber(argv[i - 1], v, 1, 10000000);
      if (a == "--length") length = wholeNumber(argv[i - 1], v, 1, 1000000);
      if (a == "--height") height = number(argv[i - 1], v, 0.0, 100.0);
      if (a == "--indel-rate") indelRate = number(argv[i - 1], v, 0.0, 10.0);
      if (a == "--seed") seed = wholeNumber(argv[i - 1], v, 0, UINT64_MAX);
      if (a == "--remote") shape.remote = static_cast<uint32_t>(wholeNumber("--remote", v, 0, 1000000));
      if (a == "--duplicates") shape.duplicates = number("--duplicates", v, 0.0, 0.9);
      if (a == "--fragments") shape.fragments = number("--fragments", v, 0.0, 1.0);
      if (a == "--scored") shape.scored = static_cast<uint32_t>(wholeNumber("--scored", v, 2, 10000000));
      if (a == "--clades") {
        shape.clades = static_cast<uint32_t>(wholeNumber("--clades", v, 1, 100000));
        const std::string range = argv[++i];
        const size_t comma = range.find(',');
        if (comma == std::string::npos) usageError("--clades wants K and LO,HI, not '" + range + "'");
        shape.cladeLow = number("--clades", range.substr(0, comma).c_str(), 1e-6, 100.0);
        shape.cladeHigh = number("--clades", range.substr(comma + 1).c_str(), shape.cladeLow, 100.0);
      }
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
  const uint32_t duplicates = static_cast<uint32_t>(std::lround(shape.duplicates * n));
  if (shape.clades > 1 && shape.cladeHigh > height)
    usageError("--clades: the clades' heights must be at most --height");
  if (static_cast<uint64_t>(duplicates) + shape.remote + 2ull * shape.clades > n &&
      !shape.plain())
    usageError("--sequences is too few for the clades, remote members and duplicates asked for");
  const uint32_t core = n - duplicates - shape.remote;

  // Opened first, so that an unwritable place fails before the work.
  Output seqFile(prefix + ".fasta"), refFile(prefix + ".ref.fasta");

  Random rng{seed};
  const std::vector<uint32_t> sizes = cladeSizes(core, shape.clades, rng);
  std::vector<Tree> trees;
  std::vector<double> stems;
  for (uint32_t size : sizes) {
    double h = height;
    if (shape.clades > 1)
      h = shape.cladeLow * std::pow(shape.cladeHigh / shape.cladeLow, rng.unit());
    trees.push_back(yule(size, h, rng));
    stems.push_back(height - h);
  }
  Evolver evolver(indelRate, rng);
  Tips kept;
  kept.residues.resize(n);
  kept.columns.resize(n);
  const Sequence root = evolver.root(length);
  uint32_t offset = 0;
  for (size_t k = 0; k < trees.size(); ++k) {
    Sequence s = root;
    evolver.evolve(s, stems[k]);
    walk(trees[k], std::move(s), offset, evolver, kept);
    offset += sizes[k];
  }
  for (uint32_t r = 0; r < shape.remote; ++r) {
    Sequence s = root;
    evolver.evolve(s, 2 * height);
    kept.keep(offset++, s);
  }
  std::vector<uint32_t> name;
  std::vector<bool> scored;
  shapeTips(shape, offset, evolver, rng, kept, &name, &scored);
  const std::vector<std::string>& residues = kept.residues;
  std::vector<std::vector<uint32_t>>& columns = kept.columns;
  // Rows in the order of their names.
  std::vector<uint32_t> rowOf(n);
  for (uint32_t t = 0; t < n; ++t) rowOf[name[t]] = t;

  // Number the columns some scored tip holds (marked first), in the global
  // order; the others are gaps in every row of the reference.
  {
    const std::vector<uint32_t>& next = evolver.order();
    std::vector<uint32_t> rank(next.size(), kNone);
    for (uint32_t t = 0; t < n; ++t)
      if (scored[t])
        for (uint32_t c : columns[t]) rank[c] = 0;
    uint32_t width = 0;
    for (uint32_t c = next[0]; c != kNone; c = next[c])
      if (rank[c] != kNone) rank[c] = width++;
    for (uint32_t t = 0; t < n; ++t)
      if (scored[t])
        for (uint32_t& c : columns[t]) c = rank[c];
    std::string line;
    for (uint32_t c = 0; c < width; ++c) {
      line += '-';
      if (c % kLine == kLine - 1 || c + 1 == width) line += '\n';
    }

    std::string buffer;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t t = rowOf[i];
      buffer += ">t" + std::to_string(i + 1) + "\n";
      for (size_t j = 0; j < residues[t].size(); j += kLine)
        buffer.append(residues[t], j, kLine) += '\n';
      if (buffer.size() >= (1u << 20)) {
        seqFile.put(buffer);
        buffer.clear();
      }
    }
    seqFile.put(buffer);
    seqFile.close();

    // One gap-filled row with its line breaks, residues set and reset.
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t t = rowOf[i];
      if (!scored[t]) continue;
      refFile.put(">t" + std::to_string(i + 1) + "\n");
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
