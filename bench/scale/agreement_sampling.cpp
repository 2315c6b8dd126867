// The error of scoring a large family on a sample of its rows: for the
// candidate alignments of one data set (aligned FASTA files, the same
// sequences in the same order), each candidate's agreement on all rows and
// on --rows sampled rows under --seeds seeds (advice/row_sample.h), with
// the time of each.
//
//   agreement_sampling [--rows N] [--seeds K] ALIGNMENT.fasta...
//
// Prints one line per candidate (exact, mean and largest error over the
// seeds) and the whole: the root mean square error, and whether the
// sampled agreement picks the same best candidate as the exact one.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "advice/agreement_scores.h"
#include "advice/row_sample.h"
#include "scoring/alignment.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

std::vector<double> agreements(const std::vector<std::vector<std::string>>& rows) {
  std::vector<advice::AgreementEntry> entries(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    entries[i].rows = &rows[i];
    entries[i].id = static_cast<int>(i) + 1;
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < rows[0].size(); ++i) names.push_back("s" + std::to_string(i + 1));
  advice::scoreAgreement(names, &entries);
  std::vector<double> out;
  for (const advice::AgreementEntry& e : entries) out.push_back(e.hasAgreement ? e.agreement : NAN);
  return out;
}

size_t best(const std::vector<double>& v) {
  size_t b = 0;
  for (size_t i = 1; i < v.size(); ++i)
    if (v[i] > v[b]) b = i;
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  size_t sampled = advice::kScoredRows;
  unsigned seeds = 10;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rows" && i + 1 < argc) {
      sampled = std::strtoul(argv[++i], nullptr, 10);
    } else if (a == "--seeds" && i + 1 < argc) {
      seeds = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      files.push_back(a);
    }
  }
  if (files.size() < 2) {
    std::fprintf(stderr, "usage: agreement_sampling [--rows N] [--seeds K] ALIGNMENT.fasta...\n");
    return 2;
  }
  std::vector<std::vector<std::string>> rows;
  for (const std::string& f : files) {
    scoring::Alignment a;
    std::string error;
    if (!scoring::readAlignmentFile(f, &a, &error)) {
      std::fprintf(stderr, "agreement_sampling: %s\n", error.c_str());
      return 1;
    }
    std::vector<std::string> r;
    for (const scoring::AlignedSequence& s : a.sequences) r.emplace_back(s.row);
    rows.push_back(std::move(r));
  }
  Clock::time_point t = Clock::now();
  const std::vector<double> exact = agreements(rows);
  const double exactSeconds = since(t);
  std::vector<double> sum(rows.size(), 0), worst(rows.size(), 0);
  double squares = 0, sampleSeconds = 0;
  unsigned sameBest = 0;
  for (unsigned seed = 1; seed <= seeds; ++seed) {
    t = Clock::now();
    const std::vector<size_t> which = advice::sampleRows(rows[0].size(), sampled, seed);
    std::vector<std::vector<std::string>> sample;
    for (const auto& r : rows) sample.push_back(advice::sampledAlignment(r, which));
    const std::vector<double> estimate = agreements(sample);
    sampleSeconds += since(t);
    for (size_t i = 0; i < rows.size(); ++i) {
      const double e = estimate[i] - exact[i];
      sum[i] += estimate[i];
      worst[i] = std::max(worst[i], std::fabs(e));
      squares += e * e;
    }
    sameBest += best(estimate) == best(exact);
  }
  std::printf("%zu sequences, %zu candidates, %zu rows sampled, %u seeds\n", rows[0].size(),
              rows.size(), sampled, seeds);
  for (size_t i = 0; i < rows.size(); ++i)
    std::printf("  %-40s exact %.4f  sampled mean %.4f  largest error %.4f\n", files[i].c_str(),
                exact[i], sum[i] / seeds, worst[i]);
  std::printf("rms error %.4f; same best candidate in %u of %u; %.2f s exact, %.2f s sampled\n",
              std::sqrt(squares / (seeds * rows.size())), sameBest, seeds, exactSeconds,
              sampleSeconds / seeds);
  return 0;
}
