// Writes the report of a generated advice on 1,000 sequences x 2,000 columns
// (report.json, best.fasta and report.html, made by the advisor's own
// writers) into a folder, for the browser tests of the report page:
//   make_large_report DIR [SEQUENCES COLUMNS]
// The alignment has conserved blocks, variable stretches and gap-rich
// regions; the first names are ones a page must show as text, never as markup.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "advice/advice.h"
#include "alnadvise/html_report.h"
#include "alnadvise/output_folder.h"
#include "alnadvise/report_writers.h"
#include "runs/file_output.h"

using namespace alnadvise;
using namespace advice;
using runs::alignedFasta;
using runs::writeFileAtomically;

namespace {

const char kResidues[] = "ACDEFGHIKLMNPQRSTVWY";

CandidateResult candidate(int id, int kind, const std::string& options, const std::string& reason,
                          double agreement, double seconds, const std::string& status) {
  CandidateResult r;
  r.candidate.id = id;
  r.candidate.configuration.kind = kind;
  r.candidate.configuration.options = options;
  r.candidate.reasons = {reason};
  r.status = status;
  r.ran = status != "missing bin/kalign2";
  r.seconds = seconds;
  r.valid = status == "done";
  r.hasAgreement = r.valid;
  r.agreement = agreement;
  r.hasPredicted = r.valid && kind >= 0;  // the merge gets no prediction
  r.predicted = agreement - 0.1 * (id % 3);
  if (r.valid) r.file = "alignments/" + std::to_string(id) + "-generated.fasta";
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: make_large_report DIR [SEQUENCES COLUMNS]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const size_t sequences = argc == 4 ? std::strtoul(argv[2], nullptr, 10) : 1000;
  const size_t columns = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 2000;
  std::mt19937 random(11);
  std::uniform_real_distribution<double> uniform(0, 1);
  std::uniform_int_distribution<int> residue(0, 19);

  // Per column: how often a sequence keeps the ancestor's residue, and how
  // often it has a gap there; blocks of 20 to 120 columns share both.
  std::string ancestor(columns, 'A');
  std::vector<double> keep(columns), gap(columns);
  for (size_t c = 0; c < columns;) {
    const size_t end = std::min(columns, c + 20 + random() % 100);
    const double k =
        uniform(random) < 0.4 ? 0.9 + 0.1 * uniform(random) : 0.2 + 0.5 * uniform(random);
    const double g = uniform(random) < 0.2 ? 0.5 * uniform(random) : 0.02;
    for (; c < end; ++c) {
      ancestor[c] = kResidues[residue(random)];
      keep[c] = k;
      gap[c] = g;
    }
  }
  Advice advice;
  advice.estimator = advice::Estimator::kLearned;
  advice.modelPath = "/usr/share/getChar/choice-model.json";
  advice.model.folds = 5;
  advice.model.learnedQ = 0.85;
  advice.model.agreementQ = 0.84;
  advice.data.path = "/data/generated-1000x2000.fasta";
  std::vector<std::string> rows(sequences);
  for (size_t i = 0; i < sequences; ++i) {
    std::string& row = rows[i];
    row.resize(columns);
    for (size_t c = 0; c < columns; ++c) {
      if (uniform(random) < gap[c])
        row[c] = '-';
      else
        row[c] = uniform(random) < keep[c] ? ancestor[c] : kResidues[residue(random)];
    }
    row[i % columns] = 'W';  // no row is all gaps, and rows differ
    std::string name = "seq" + std::to_string(i + 1) + " generated family member";
    if (i == 0) name = "</script><script>window.injected = 1</script> <!-- & \"quoted\" $(x)";
    if (i == 1) name = "sp|P12345|long_" + std::string(185, 'x');
    if (i == 2) name = "<b>bold?</b> &amp; ; `id`";
    advice.data.names.push_back(name);
    std::string residues;
    for (char ch : row)
      if (ch != '-') residues += ch;
    advice.data.residues.push_back(residues);
  }
  advice.data.distinctSequences = sequences;
  const double features[10] = {double(sequences), 1700, 40, 0, 0, 180, 160, 300, 170, 700};
  std::copy(features, features + 10, advice.features);
  for (int k = 0; k < 3; ++k) {
    NearestReference n;
    n.rank = k + 1;
    n.name = "sim00" + std::to_string(k + 1);
    for (int f = 0; f < 10; ++f) n.features[f] = features[f] * (0.5 + 0.4 * k);
    n.configuration.kind = k + 2;
    n.distance = 0.1 * (k + 1);
    advice.nearest.push_back(n);
  }
  FrontPick fast;
  fast.role = "fastest";
  fast.configuration.kind = 2;
  const double fastObjectives[3] = {0.3, 0.45, 0.15};
  std::copy(fastObjectives, fastObjectives + 3, fast.objectives);
  advice.front.push_back(fast);
  advice.frontPoints.push_back(fast);
  FrontPick accurate;
  accurate.configuration.kind = 3;
  const double accurateObjectives[3] = {0.27, 0.42, 1.4};
  std::copy(accurateObjectives, accurateObjectives + 3, accurate.objectives);
  advice.frontPoints.push_back(accurate);
  advice.frontPath = "/data/front.txt";

  advice.results = {
      candidate(4, 3, "", "default; front: most accurate", 0.91, 48.2, "done"),
      candidate(9, -1, "#4 #3 #5", "merge of #4, #3, #5", 0.9, 95.0, "done"),
      candidate(3, 2, "", "default; front: fastest", 0.87, 3.1, "done"),
      candidate(5, 4, "", "default", 0.87, 7.5, "done"),
      candidate(1, 0, "", "default", 0.8, 410.0, "done"),
      candidate(2, 1, "", "default", 0, 900.0, "timed out"),
      candidate(6, 2, "--gpo 12", "nearest reference sim003 (rank 3)", 0, 0, "missing bin/kalign2"),
  };
  for (size_t i = 0; i < advice.results.size(); ++i)
    if (advice.results[i].valid) advice.results[i].rank = static_cast<int>(i) + 1;
  advice.results[1].mergeInputs = {4, 3, 5};
  advice.results[0].rows = rows;
  advice.bestIndex = 0;
  advice.wallSeconds = 1000;
  advice.runSeconds = 1463.8;

  const std::string json = formatJson(advice);
  std::string error;
  if (!writeFileAtomically(folder + "/report.json", json, &error) ||
      !writeFileAtomically(folder + "/best.fasta", alignedFasta(advice.data.names, rows), &error) ||
      !writeFileAtomically(folder + "/report.html", formatHtml(json, advice), &error)) {
    std::fprintf(stderr, "make_large_report: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
