#include "choice_model.h"

#include <cstdio>

#include "agreement.h"

namespace alntrain {

namespace {

const double kReverseWeights[] = {0, 0.5, 1, 2};
const double kGapWeights[] = {0, -2, -1, -0.5, 0.5, 1};
const double kWidthWeights[] = {0, -1, -0.5, 0.5, 1};
const double kMinimumGain = 0.002;

double score(const ChoiceModel& m, const CandidateFeatures& f) {
  return f.plain + m.reverse * f.reverse + m.gaps * f.gapExcess + m.width * f.widthExcess;
}

}  // namespace

std::string ChoiceModel::describe() const {
  char text[160];
  std::snprintf(text, sizeof text,
                "plain agreement + %g x reverse agreement + %g x gap excess + %g x width excess",
                reverse, gaps, width);
  return text;
}

bool candidateFeatures(const std::vector<std::string>& names,
                       const std::vector<const std::vector<std::string>*>& rows,
                       std::vector<CandidateFeatures>* features) {
  const size_t n = rows.size();
  features->assign(n, CandidateFeatures());
  if (n < 2) return false;
  std::vector<alnscore::Alignment> alignments(n);
  std::vector<double> gaps(n), widths(n);
  std::string error;
  for (size_t i = 0; i < n; ++i) {
    if (!alnscore::alignmentFromRows(names, *rows[i], &alignments[i], &error)) return false;
    size_t cells = 0, gapCells = 0;
    for (const std::string& row : *rows[i]) {
      cells += row.size();
      for (char c : row) gapCells += c == '-';
    }
    gaps[i] = cells ? static_cast<double>(gapCells) / static_cast<double>(cells) : 0;
    widths[i] = static_cast<double>(alignments[i].columns());
  }
  double meanGap = 0, meanWidth = 0;
  for (size_t i = 0; i < n; ++i) {
    meanGap += gaps[i] / static_cast<double>(n);
    meanWidth += widths[i] / static_cast<double>(n);
  }
  std::vector<std::vector<double>> share(n, std::vector<double>(n, 0));
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j)
      if (i != j && !alnscore::agreementShare(alignments[i], alignments[j], &share[i][j], &error))
        return false;
  for (size_t i = 0; i < n; ++i) {
    CandidateFeatures& f = (*features)[i];
    for (size_t j = 0; j < n; ++j) {
      if (j == i) continue;
      f.plain += share[i][j] / static_cast<double>(n - 1);
      f.reverse += share[j][i] / static_cast<double>(n - 1);
    }
    f.gapExcess = gaps[i] - meanGap;
    f.widthExcess = meanWidth > 0 ? widths[i] / meanWidth - 1 : 0;
  }
  return true;
}

size_t chooseCandidate(const ChoiceModel& model, const std::vector<CandidateFeatures>& candidates) {
  size_t best = 0;
  for (size_t i = 1; i < candidates.size(); ++i)
    if (score(model, candidates[i]) > score(model, candidates[best])) best = i;
  return best;
}

double meanChosenQ(const ChoiceModel& model, const std::vector<ChoiceExample>& examples) {
  double sum = 0;
  size_t n = 0;
  for (const ChoiceExample& e : examples) {
    if (e.candidates.empty()) continue;
    sum += e.q[chooseCandidate(model, e.candidates)];
    ++n;
  }
  return n ? sum / static_cast<double>(n) : 0;
}

ChoiceModel fitChoiceModel(const std::vector<ChoiceExample>& examples) {
  const ChoiceModel plain;
  ChoiceModel best = plain;
  double bestQ = meanChosenQ(plain, examples);
  const double plainQ = bestQ;
  for (double r : kReverseWeights)
    for (double g : kGapWeights)
      for (double w : kWidthWeights) {
        ChoiceModel m;
        m.reverse = r;
        m.gaps = g;
        m.width = w;
        const double q = meanChosenQ(m, examples);
        if (q > bestQ) {
          bestQ = q;
          best = m;
        }
      }
  return bestQ > plainQ + kMinimumGain ? best : plain;
}

}  // namespace alntrain
