#include "training/gain_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "training/linear_solve.h"

namespace training {

namespace ublas = boost::numeric::ublas;
using advice::Descriptors;
using advice::GainForm;
using advice::GainModel;
using advice::kDescriptorCount;

double flooredGain(double q, double autoQ) { return std::max(q - autoQ, advice::kGainFloor); }

namespace {

// The examples' centre, spread and range, per descriptor.
void standardise(const std::vector<GainExample>& examples, GainModel* m) {
  const double n = static_cast<double>(examples.size());
  for (int k = 0; k < kDescriptorCount; ++k) {
    double sum = 0, squares = 0;
    m->low[k] = m->high[k] = examples.empty() ? 0 : examples[0].descriptors[k];
    for (const GainExample& e : examples) {
      sum += e.descriptors[k];
      m->low[k] = std::min(m->low[k], e.descriptors[k]);
      m->high[k] = std::max(m->high[k], e.descriptors[k]);
    }
    m->center[k] = n > 0 ? sum / n : 0;
    for (const GainExample& e : examples)
      squares += (e.descriptors[k] - m->center[k]) * (e.descriptors[k] - m->center[k]);
    const double spread = n > 0 ? std::sqrt(squares / n) : 0;
    m->scale[k] = spread > 1e-9 ? spread : 1;
  }
}

// Ridge regression of the gains on the scaled descriptors, through their
// means; the intercept is the prediction at the centre.
advice::GainEntry fitEntry(const std::vector<std::pair<Descriptors, double>>& points,
                           const GainModel& m, GainForm form) {
  advice::GainEntry e;
  const double n = static_cast<double>(points.size());
  e.dataSets = static_cast<int>(points.size());
  Descriptors zMean{};
  double gMean = 0;
  std::vector<Descriptors> z;
  for (const auto& [x, g] : points) {
    Descriptors s;
    for (int k = 0; k < kDescriptorCount; ++k) s[k] = (x[k] - m.center[k]) / m.scale[k];
    z.push_back(s);
    gMean += g / n;
    for (int k = 0; k < kDescriptorCount; ++k) zMean[k] += s[k] / n;
  }
  e.intercept = gMean;
  if (form == GainForm::kMean) return e;
  ublas::matrix<double> a(kDescriptorCount, kDescriptorCount, 0.0);
  ublas::vector<double> b(kDescriptorCount, 0.0);
  for (size_t i = 0; i < points.size(); ++i)
    for (int k = 0; k < kDescriptorCount; ++k) {
      b(k) += (z[i][k] - zMean[k]) * (points[i].second - gMean);
      for (int l = 0; l < kDescriptorCount; ++l)
        a(k, l) += (z[i][k] - zMean[k]) * (z[i][l] - zMean[l]);
    }
  for (int k = 0; k < kDescriptorCount; ++k) a(k, k) += kGainRidge * n;
  if (!solveLinear(a, &b)) return e;
  for (int k = 0; k < kDescriptorCount; ++k) {
    e.weight[k] = b(k);
    e.intercept -= b(k) * zMean[k];
  }
  return e;
}

double rms(double squares, int count) { return count > 0 ? std::sqrt(squares / count) : 0; }

}  // namespace

GainModel fitGainModel(const std::vector<GainExample>& examples,
                       const std::map<std::string, runs::Configuration>& configurations,
                       GainForm form) {
  GainModel m;
  m.form = form;
  standardise(examples, &m);
  for (const auto& [label, configuration] : configurations) {
    std::vector<std::pair<Descriptors, double>> points;
    for (const GainExample& e : examples) {
      const auto it = e.gain.find(label);
      if (it != e.gain.end()) points.emplace_back(e.descriptors, it->second);
    }
    if (points.empty()) continue;
    advice::GainEntry entry = fitEntry(points, m, form);
    entry.configuration = configuration;
    m.entries.push_back(entry);
  }
  return m;
}

GainModel crossValidatedGainModel(const std::vector<GainExample>& examples,
                                  const std::map<std::string, runs::Configuration>& configurations,
                                  int folds) {
  folds = std::max(folds, 1);
  double zero = 0, squares[2] = {0, 0};
  int count = 0;
  std::map<std::string, std::pair<double, int>> perLabel[2];  // squares, count
  const GainForm forms[2] = {GainForm::kMean, GainForm::kLinear};
  for (int f = 0; f < folds; ++f) {
    std::vector<GainExample> training;
    for (size_t i = 0; i < examples.size(); ++i)
      if (static_cast<int>(i % static_cast<size_t>(folds)) != f) training.push_back(examples[i]);
    if (training.empty()) continue;
    GainModel fitted[2];
    for (int v = 0; v < 2; ++v) fitted[v] = fitGainModel(training, configurations, forms[v]);
    for (size_t i = static_cast<size_t>(f); i < examples.size(); i += static_cast<size_t>(folds)) {
      for (const auto& [label, gain] : examples[i].gain) {
        const auto c = configurations.find(label);
        if (c == configurations.end() || !fitted[0].find(c->second)) continue;
        ++count;
        zero += gain * gain;
        for (int v = 0; v < 2; ++v) {
          const double d =
              advice::predictGain(fitted[v], c->second, examples[i].descriptors).gain - gain;
          squares[v] += d * d;
          perLabel[v][label].first += d * d;
          ++perLabel[v][label].second;
        }
      }
    }
  }
  const double meanError = rms(squares[0], count), linearError = rms(squares[1], count);
  const int kept = count > 0 && linearError <= meanError - kLinearGainMargin ? 1 : 0;
  GainModel m = fitGainModel(examples, configurations, forms[kept]);
  m.dataSets = static_cast<int>(examples.size());
  m.folds = folds;
  m.zeroError = rms(zero, count);
  m.meanError = meanError;
  m.linearError = linearError;
  for (advice::GainEntry& e : m.entries) {
    const auto& [sum, n] = perLabel[kept][e.configuration.label()];
    e.error = rms(sum, n);
  }
  return m;
}

std::string formatGainReport(const GainModel& m) {
  char line[400];
  std::snprintf(
      line, sizeof line,
      "Gain over MAFFT --auto, predicted before running (gain-model.json): held-out root\n"
      "mean square error over %d data sets in %d folds: no gain %.3f, each "
      "configuration's mean\n%.3f, linear on the descriptors %.3f; kept: %s.\n",
      m.dataSets, m.folds, m.zeroError, m.meanError, m.linearError, advice::gainFormName(m.form));
  std::string text = line;
  std::vector<advice::GainEntry> entries = m.entries;
  std::sort(entries.begin(), entries.end(),
            [](const advice::GainEntry& a, const advice::GainEntry& b) {
              return a.intercept > b.intercept;
            });
  text += "Mean gain, held-out error and expected improvement at the centre:\n";
  for (const advice::GainEntry& e : entries) {
    std::snprintf(line, sizeof line, "  %+.3f  %.3f  %.3f  %s\n", e.intercept, e.error,
                  advice::expectedImprovement(e.intercept, e.error),
                  e.configuration.label().c_str());
    text += line;
  }
  return text;
}

}  // namespace training
