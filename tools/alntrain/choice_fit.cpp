#include "choice_fit.h"

namespace alntrain {

namespace {

const double kReverseWeights[] = {0, 0.5, 1, 2};
const double kGapWeights[] = {0, -2, -1, -0.5, 0.5, 1};
const double kWidthWeights[] = {0, -1, -0.5, 0.5, 1};
const double kMinimumGain = 0.002;

}  // namespace

double meanChosenQ(const advice::ChoiceModel& model, const std::vector<ChoiceExample>& examples) {
  double sum = 0;
  size_t n = 0;
  for (const ChoiceExample& e : examples) {
    if (e.candidates.empty()) continue;
    sum += e.q[advice::chooseCandidate(model, e.candidates)];
    ++n;
  }
  return n ? sum / static_cast<double>(n) : 0;
}

advice::ChoiceModel fitChoiceModel(const std::vector<ChoiceExample>& examples) {
  const advice::ChoiceModel plain;
  advice::ChoiceModel best = plain;
  double bestQ = meanChosenQ(plain, examples);
  const double plainQ = bestQ;
  for (double r : kReverseWeights)
    for (double g : kGapWeights)
      for (double w : kWidthWeights) {
        advice::ChoiceModel m;
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
