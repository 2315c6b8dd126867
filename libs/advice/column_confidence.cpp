#include "advice/column_confidence.h"

#include <map>

#include "runs/aligner_names.h"
#include "scoring/column_support.h"

namespace advice {

Confidence confidenceOf(const std::vector<CandidateResult>& results, size_t best) {
  Confidence out;
  std::map<int, int> alignments;  // per aligner kind
  for (size_t i = 0; i < results.size(); ++i)
    if (i != best && results[i].valid &&
        results[i].candidate.configuration.kind != runs::kMergeKind)
      ++alignments[results[i].candidate.configuration.kind];
  if (alignments.empty()) {
    out.note = "no other alignment to compare with";
    return out;
  }
  std::vector<const std::vector<std::string>*> others;
  std::vector<double> weights;
  for (size_t i = 0; i < results.size(); ++i) {
    const int kind = results[i].candidate.configuration.kind;
    if (i == best || !results[i].valid || kind == runs::kMergeKind) continue;
    others.push_back(&results[i].rows);
    weights.push_back(1.0 / alignments[kind]);
  }
  for (const auto& [kind, count] : alignments)
    out.voters.push_back(std::string(runs::alignerName(kind)) + " (" + std::to_string(count) +
                         (count == 1 ? " alignment)" : " alignments)"));
  scoring::ColumnSupport support;
  std::string error;
  if (!scoring::columnSupport(results[best].rows, others, weights, &support, &error)) {
    out.note = "not computed: " + error;
    out.voters.clear();
    return out;
  }
  out.known = true;
  out.columns = std::move(support.columns);
  out.residues = std::move(support.residues);
  return out;
}

void calibrateConfidence(const ConfidenceCalibration& calibration, Confidence* confidence) {
  if (!confidence->known) return;
  for (double& v : confidence->columns) v = calibrate(calibration, v);
  for (std::vector<double>& row : confidence->residues)
    for (double& v : row) v = calibrate(calibration, v);
  confidence->calibrated = true;
}

}  // namespace advice
