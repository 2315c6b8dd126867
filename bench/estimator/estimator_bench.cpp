// Times candidateFeatures (every feature of the learned estimator) and
// columnSupport (the chosen alignment's column confidence: the first
// candidate against the others) against agreementMatrix (all that plain
// agreement needs) on the same candidates:
// generated families of 20 to 1,000 sequences with eight candidate
// alignments each, and, given a folder of one data set's candidate
// alignments (FASTA, as alnadvise writes them), those too.
//
//   estimator_bench [--real DIR] [benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "advice/candidate_features.h"
#include "scoring/agreement.h"
#include "scoring/alignment.h"
#include "scoring/column_support.h"

namespace {

struct Candidates {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
  std::vector<int> kinds;
  std::vector<const std::vector<std::string>*> pointers() const {
    std::vector<const std::vector<std::string>*> p;
    for (const auto& r : rows) p.push_back(&r);
    return p;
  }
};

// n related sequences of about `length` residues; each candidate moves the
// gaps of some rows by a few columns, as aligners disagree.
Candidates generated(size_t n, size_t length, unsigned seed) {
  std::mt19937 random(seed);
  const char residues[] = "ACDEFGHIKLMNPQRSTVWY";
  std::uniform_int_distribution<int> residue(0, 19);
  std::uniform_real_distribution<double> uniform(0, 1);
  std::string ancestor(length, 'A');
  for (char& c : ancestor) c = residues[residue(random)];
  std::vector<std::string> base(n);
  for (size_t i = 0; i < n; ++i) {
    base[i] = ancestor;
    for (char& c : base[i]) {
      const double u = uniform(random);
      c = u < 0.1 ? '-' : u < 0.4 ? residues[residue(random)] : c;
    }
    base[i][i % length] = 'W';
  }
  Candidates out;
  for (size_t i = 0; i < n; ++i) out.names.push_back("s" + std::to_string(i + 1));
  for (int k = 0; k < 8; ++k) {
    std::vector<std::string> rows = base;
    for (std::string& row : rows) {
      if (uniform(random) < 0.3) {  // slide the row's residues one column where a gap allows
        const size_t at = random() % length;
        for (size_t c = at; c + 1 < length; ++c)
          if (row[c] == '-') std::swap(row[c], row[c + 1]);
      }
    }
    out.rows.push_back(rows);
    out.kinds.push_back(k % 5);
  }
  return out;
}

Candidates real;

bool readReal(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".fasta") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  for (const std::string& f : files) {
    scoring::Alignment a;
    std::string error;
    if (!scoring::readAlignmentFile(f, &a, &error)) return false;
    std::vector<std::string> names, rows;
    for (const scoring::AlignedSequence& s : a.sequences) {
      names.emplace_back(s.name);
      rows.emplace_back(s.row);
    }
    if (real.names.empty()) real.names = names;
    if (names != real.names) continue;  // another data set's file
    real.rows.push_back(rows);
    real.kinds.push_back(static_cast<int>(real.kinds.size() % 5));
  }
  return real.rows.size() >= 2;
}

void agreement(benchmark::State& state, const Candidates& c) {
  const auto p = c.pointers();
  for (auto _ : state) benchmark::DoNotOptimize(scoring::agreementMatrix(c.names, p));
}

void features(benchmark::State& state, const Candidates& c) {
  const auto p = c.pointers();
  std::vector<advice::FeatureVector> f;
  for (auto _ : state) {
    advice::candidateFeatures(c.names, p, c.kinds, &f);
    benchmark::DoNotOptimize(f.data());
  }
}

void confidence(benchmark::State& state, const Candidates& c) {
  const auto p = c.pointers();
  const std::vector<const std::vector<std::string>*> others(p.begin() + 1, p.end());
  const std::vector<double> weights(others.size(), 1.0);
  scoring::ColumnSupport support;
  std::string error;
  for (auto _ : state) {
    if (!scoring::columnSupport(c.rows[0], others, weights, &support, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(support.columns.data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--real") == 0 && i + 1 < argc) {
      if (!readReal(argv[++i])) {
        std::fprintf(stderr, "estimator_bench: no two candidate alignments of one data set in %s\n",
                     argv[i]);
        return 2;
      }
      continue;
    }
    rest.push_back(argv[i]);
  }
  static std::vector<Candidates> families;
  for (size_t n : {20, 200, 1000}) families.push_back(generated(n, 400, 7));
  for (const Candidates& c : families) {
    const std::string size = std::to_string(c.names.size()) + "x400";
    benchmark::RegisterBenchmark(("agreement/" + size).c_str(), agreement, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("features/" + size).c_str(), features, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("confidence/" + size).c_str(), confidence, c)
        ->Unit(benchmark::kMillisecond);
  }
  if (!real.rows.empty()) {
    benchmark::RegisterBenchmark("agreement/real", agreement, real)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("features/real", features, real)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("confidence/real", confidence, real)
        ->Unit(benchmark::kMillisecond);
  }
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
