#include "training/confidence_fit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>

#include "advice/column_confidence.h"
#include "runs/aligner_names.h"

namespace training {

namespace {

bool isGap(char c) { return c == '-' || c == '.'; }

// Pair-weighted mean of |value - share| over the columns.
double meanError(const std::vector<ConfidenceColumn>& columns, const std::vector<double>& value) {
  double sum = 0, weight = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    sum += columns[i].pairs * std::fabs(value[i] - columns[i].right / columns[i].pairs);
    weight += columns[i].pairs;
  }
  return weight > 0 ? sum / weight : 0;
}

}  // namespace

std::vector<std::pair<double, double>> columnTruth(const std::vector<std::string>& rows,
                                                   const runs::Reference& reference) {
  // Per record, the reference column of each residue; -1 where it is not
  // counted (no reference row, or a lower-case residue there).
  std::vector<std::vector<int>> at(rows.size());
  for (size_t i = 0; i < reference.rows.size(); ++i) {
    const size_t r = reference.recordOf[i];
    if (r >= rows.size()) continue;
    const std::string& row = reference.rows[i];
    for (size_t c = 0; c < row.size(); ++c)
      if (!isGap(row[c]))
        at[r].push_back(std::isupper(static_cast<unsigned char>(row[c])) ? static_cast<int>(c)
                                                                          : -1);
  }
  const size_t width = rows.empty() ? 0 : rows[0].size();
  std::vector<size_t> residue(rows.size(), 0);
  std::vector<std::pair<double, double>> out(width);
  std::map<int, int> groups;
  for (size_t c = 0; c < width; ++c) {
    groups.clear();
    int counted = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
      if (isGap(rows[r][c])) continue;
      const size_t k = residue[r]++;
      if (k < at[r].size() && at[r][k] >= 0) {
        ++groups[at[r][k]];
        ++counted;
      }
    }
    double right = 0;
    for (const auto& [column, g] : groups) right += g * (g - 1) / 2.0;
    out[c] = {right, counted * (counted - 1) / 2.0};
  }
  return out;
}

void addConfidenceColumns(const HeldOut& h, const runs::Reference& reference,
                          const std::vector<bool>& ran, std::vector<ConfidenceColumn>* out) {
  std::vector<advice::CandidateResult> results;
  for (size_t i = 0; i < h.runs.size() && i < ran.size(); ++i)
    if (ran[i]) results.push_back(h.runs[i]);
  for (size_t i = 0; i < results.size(); ++i) {
    if (!results[i].valid || results[i].candidate.configuration.kind == runs::kMergeKind) continue;
    const advice::Confidence c = advice::confidenceOf(results, i);
    if (!c.known) continue;
    const auto truth = columnTruth(results[i].rows, reference);
    for (size_t k = 0; k < truth.size(); ++k)
      if (truth[k].second > 0 && !std::isnan(c.columns[k]))
        out->push_back({c.columns[k], truth[k].first, truth[k].second, h.fold});
  }
}

advice::ConfidenceCalibration fitCalibration(const std::vector<ConfidenceColumn>& columns) {
  struct Block {
    double rawSum, rightSum, weight;
    double value() const { return rightSum / weight; }
  };
  std::vector<ConfidenceColumn> sorted = columns;
  std::sort(sorted.begin(), sorted.end(),
            [](const ConfidenceColumn& a, const ConfidenceColumn& b) { return a.raw < b.raw; });
  std::vector<Block> blocks;
  for (const ConfidenceColumn& c : sorted) {
    if (c.pairs <= 0) continue;
    // Equal raw values share one block, so that the knots' raw values rise.
    if (!blocks.empty() && blocks.back().rawSum / blocks.back().weight == c.raw)
      blocks.back() = {blocks.back().rawSum + c.raw * c.pairs, blocks.back().rightSum + c.right,
                       blocks.back().weight + c.pairs};
    else
      blocks.push_back({c.raw * c.pairs, c.right, c.pairs});
    while (blocks.size() > 1 && blocks[blocks.size() - 2].value() >= blocks.back().value()) {
      const Block last = blocks.back();
      blocks.pop_back();
      blocks.back() = {blocks.back().rawSum + last.rawSum, blocks.back().rightSum + last.rightSum,
                       blocks.back().weight + last.weight};
    }
  }
  advice::ConfidenceCalibration out;
  for (const Block& b : blocks) {
    const double raw = b.rawSum / b.weight;
    if (!out.raw.empty() && raw <= out.raw.back()) continue;  // rounding: keep the knots rising
    out.raw.push_back(std::min(1.0, std::max(0.0, raw)));
    out.calibrated.push_back(std::min(1.0, std::max(0.0, b.value())));
  }
  out.columns = static_cast<int>(columns.size());
  return out;
}

advice::ConfidenceCalibration crossValidatedCalibration(
    const std::vector<ConfidenceColumn>& columns, int folds, int dataSets) {
  std::vector<double> heldOut(columns.size()), raw(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) raw[i] = columns[i].raw;
  for (int f = 1; f <= folds; ++f) {
    std::vector<ConfidenceColumn> fit;
    for (const ConfidenceColumn& c : columns)
      if (c.fold != f) fit.push_back(c);
    const advice::ConfidenceCalibration model = fitCalibration(fit);
    for (size_t i = 0; i < columns.size(); ++i)
      if (columns[i].fold == f) heldOut[i] = advice::calibrate(model, columns[i].raw);
  }
  advice::ConfidenceCalibration out = fitCalibration(columns);
  out.dataSets = dataSets;
  out.folds = folds;
  out.rawError = meanError(columns, raw);
  out.heldOutError = meanError(columns, heldOut);
  return out;
}

std::string formatCalibrationReport(const advice::ConfidenceCalibration& c) {
  char text[512];
  std::snprintf(text, sizeof text,
                "\nColumn confidence (confidence-calibration.json): %d columns of the alignments "
                "the default effort\nruns on %d data sets, each valid one taken in turn as the "
                "chosen one. Mean |confidence -\nshare of the column's pairs right|, weighted by "
                "pairs: raw %.3f, calibrated held out (%d folds) %.3f;\n%zu knots.\n",
                c.columns, c.dataSets, c.rawError, c.folds, c.heldOutError, c.raw.size());
  return text;
}

}  // namespace training
