#include "advice/choice_model.h"

#include <cmath>
#include <cstdio>

#include "scoring/agreement.h"

namespace advice {

namespace {

// Mean of the defined values.
struct Mean {
  double sum = 0;
  int count = 0;
  void add(double v) {
    if (std::isnan(v)) return;
    sum += v;
    ++count;
  }
  double value() const { return count ? sum / count : 0; }
};

}  // namespace

std::string ChoiceModel::describe() const {
  char text[160];
  std::snprintf(text, sizeof text,
                "plain agreement + %g x reverse agreement + %g x gap excess + %g x width excess",
                reverse, gaps, width);
  return text;
}

double choiceScore(const ChoiceModel& m, const CandidateFeatures& f) {
  return f.plain + m.reverse * f.reverse + m.gaps * f.gapExcess + m.width * f.widthExcess;
}

bool candidateFeatures(const std::vector<std::string>& names,
                       const std::vector<const std::vector<std::string>*>& rows,
                       std::vector<CandidateFeatures>* features) {
  const size_t n = rows.size();
  features->assign(n, CandidateFeatures());
  if (n < 2) return false;
  std::vector<double> gaps(n), widths(n);
  for (size_t i = 0; i < n; ++i) {
    size_t cells = 0, gapCells = 0;
    for (const std::string& row : *rows[i]) {
      if (row.size() != (*rows[i])[0].size()) return false;
      cells += row.size();
      for (char c : row) gapCells += c == '-';
    }
    gaps[i] = cells ? static_cast<double>(gapCells) / static_cast<double>(cells) : 0;
    widths[i] = rows[i]->empty() ? 0 : static_cast<double>((*rows[i])[0].size());
  }
  double meanGap = 0, meanWidth = 0;
  for (size_t i = 0; i < n; ++i) {
    meanGap += gaps[i] / static_cast<double>(n);
    meanWidth += widths[i] / static_cast<double>(n);
  }
  const std::vector<std::vector<double>> share = scoring::agreementMatrix(names, rows);
  for (size_t i = 0; i < n; ++i) {
    Mean plain, reverse;
    for (size_t j = 0; j < n; ++j) {
      plain.add(share[i][j]);
      reverse.add(share[j][i]);
    }
    CandidateFeatures& f = (*features)[i];
    f.plain = plain.value();
    f.reverse = reverse.value();
    f.gapExcess = gaps[i] - meanGap;
    f.widthExcess = meanWidth > 0 ? widths[i] / meanWidth - 1 : 0;
  }
  return true;
}

size_t chooseCandidate(const ChoiceModel& model, const std::vector<CandidateFeatures>& candidates) {
  size_t best = 0;
  for (size_t i = 1; i < candidates.size(); ++i)
    if (choiceScore(model, candidates[i]) > choiceScore(model, candidates[best])) best = i;
  return best;
}

}  // namespace advice
