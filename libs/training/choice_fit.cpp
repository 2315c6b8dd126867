#include "training/choice_fit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "training/linear_solve.h"

namespace training {

namespace ublas = boost::numeric::ublas;
using advice::FeatureVector;
using advice::kFeatureCount;

namespace {

double mean(const std::vector<double>& v) {
  return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

FeatureVector meanFeatures(const ChoiceExample& e) {
  FeatureVector m{};
  for (const FeatureVector& f : e.candidates)
    for (int k = 0; k < kFeatureCount; ++k) m[k] += f[k] / static_cast<double>(e.candidates.size());
  return m;
}

// The sets' mean Q on their mean agreement; slope 1 through the means when
// the agreements do not spread.
void fitLevel(const std::vector<const ChoiceExample*>& sets, advice::ChoiceModel* m) {
  std::vector<double> x, y;
  for (const ChoiceExample* e : sets) {
    x.push_back(meanFeatures(*e)[advice::kAgreement]);
    y.push_back(mean(e->q));
  }
  const double mx = mean(x), my = mean(y);
  double sxx = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxx += (x[i] - mx) * (x[i] - mx);
    sxy += (x[i] - mx) * (y[i] - my);
  }
  m->slope = sxx > 1e-12 ? sxy / sxx : 1;
  m->intercept = my - m->slope * mx;
}

}  // namespace

advice::ChoiceModel fitChoiceModel(const std::vector<ChoiceExample>& examples) {
  std::vector<const ChoiceExample*> sets;
  int candidates = 0;
  for (const ChoiceExample& e : examples)
    if (e.candidates.size() >= 2 && e.q.size() == e.candidates.size()) {
      sets.push_back(&e);
      candidates += static_cast<int>(e.candidates.size());
    }
  advice::ChoiceModel m = advice::ChoiceModel::plain();
  if (sets.empty()) return m;
  m.weight = advice::ChoiceModel::filled(0);
  m.dataSets = static_cast<int>(sets.size());
  m.candidates = candidates;
  fitLevel(sets, &m);

  // Centred rows, each set weighted 1 / its candidates.
  struct Row {
    FeatureVector x;
    double y, w;
  };
  std::vector<Row> rows;
  FeatureVector spread{};
  for (const ChoiceExample* e : sets) {
    const FeatureVector c = meanFeatures(*e);
    const double q = mean(e->q), w = 1.0 / static_cast<double>(e->candidates.size());
    for (size_t i = 0; i < e->candidates.size(); ++i) {
      Row r{e->candidates[i], e->q[i] - q, w};
      for (int k = 0; k < kFeatureCount; ++k) {
        r.x[k] -= c[k];
        spread[k] += w * r.x[k] * r.x[k];
      }
      rows.push_back(r);
    }
  }
  for (int k = 0; k < kFeatureCount; ++k) {
    const double s = std::sqrt(spread[k] / static_cast<double>(sets.size()));
    m.scale[k] = s > 1e-9 ? s : 1;
  }
  ublas::matrix<double> a(kFeatureCount, kFeatureCount, 0.0);
  ublas::vector<double> b(kFeatureCount, 0.0);
  for (const Row& r : rows)
    for (int k = 0; k < kFeatureCount; ++k) {
      b(k) += r.w * r.y * r.x[k] / m.scale[k];
      for (int l = 0; l < kFeatureCount; ++l)
        a(k, l) += r.w * r.x[k] / m.scale[k] * r.x[l] / m.scale[l];
    }
  for (int k = 0; k < kFeatureCount; ++k) a(k, k) += kRidge * static_cast<double>(sets.size());
  if (!solveLinear(a, &b)) return advice::ChoiceModel::plain();
  for (int k = 0; k < kFeatureCount; ++k) m.weight[k] = b(k);
  return m;
}

double chosenQ(const advice::ChoiceModel& model, const ChoiceExample& example) {
  if (example.candidates.empty() || example.q.size() != example.candidates.size()) return 0;
  return example.q[advice::chooseCandidate(model, example.candidates)];
}

namespace {

bool hasAnchor(const ChoiceExample& e) {
  return e.anchor >= 0 && static_cast<size_t>(e.anchor) < e.candidates.size() &&
         e.q.size() == e.candidates.size();
}

}  // namespace

bool topGain(const advice::ChoiceModel& model, const ChoiceExample& example, TopGain* top) {
  if (!hasAnchor(example)) return false;
  const std::vector<double> p = advice::predictQ(model, example.candidates);
  const size_t a = static_cast<size_t>(example.anchor);
  const size_t best = advice::chooseCandidate(model, example.candidates);
  if (best == a) return false;
  top->predicted = p[best] - p[a];
  top->gain = example.q[best] - example.q[a];
  return true;
}

double keptQ(const advice::ChoiceModel& model, const ChoiceExample& example, double margin) {
  if (!hasAnchor(example)) return chosenQ(model, example);
  const std::vector<double> p = advice::predictQ(model, example.candidates);
  const size_t a = static_cast<size_t>(example.anchor);
  const size_t top = advice::chooseCandidate(model, example.candidates);
  return p[top] - p[a] > margin ? example.q[top] : example.q[a];
}

double smallestSafeMargin(const std::vector<TopGain>& tops, size_t sets) {
  std::vector<double> margins = {0};
  for (const TopGain& t : tops)
    if (t.predicted > 0) margins.push_back(t.predicted);
  std::sort(margins.begin(), margins.end());
  const double allowed = advice::kWorseShareAllowed * static_cast<double>(sets);
  for (double m : margins) {
    int worse = 0;
    for (const TopGain& t : tops) worse += t.predicted > m && t.gain < -advice::kWorseThanAuto;
    if (worse <= allowed) return m;
  }
  return margins.back();
}

SwitchJudgement judgeSwitching(const std::vector<ChoiceExample>& examples,
                               const std::vector<int>& folds,
                               const std::vector<advice::ChoiceModel>& perFold) {
  const size_t k = perFold.size();
  std::vector<std::vector<TopGain>> tops(k);
  std::vector<size_t> anchored(k, 0);
  std::vector<TopGain> every;
  size_t everyAnchored = 0;
  auto foldOf = [&](size_t i) { return static_cast<size_t>(folds[i] - 1); };
  for (size_t i = 0; i < examples.size(); ++i) {
    if (foldOf(i) >= k || !hasAnchor(examples[i])) continue;
    ++anchored[foldOf(i)];
    ++everyAnchored;
    TopGain t;
    if (!topGain(perFold[foldOf(i)], examples[i], &t)) continue;
    tops[foldOf(i)].push_back(t);
    every.push_back(t);
  }
  SwitchJudgement j;
  j.margin = smallestSafeMargin(every, everyAnchored);
  j.kept.assign(examples.size(), 0);
  double autoSum = 0, keptSum = 0;
  int worse = 0;
  for (size_t i = 0; i < examples.size(); ++i) {
    const size_t f = foldOf(i);
    if (f >= k) continue;
    std::vector<TopGain> others;
    size_t otherSets = 0;
    for (size_t g = 0; g < k; ++g) {
      if (g == f) continue;
      others.insert(others.end(), tops[g].begin(), tops[g].end());
      otherSets += anchored[g];
    }
    const double margin = otherSets == 0 ? j.margin : smallestSafeMargin(others, otherSets);
    j.kept[i] = keptQ(perFold[f], examples[i], margin);
    if (!hasAnchor(examples[i])) continue;
    const double autoQ = examples[i].q[static_cast<size_t>(examples[i].anchor)];
    ++j.anchored;
    autoSum += autoQ;
    keptSum += j.kept[i];
    if (j.kept[i] < autoQ - advice::kWorseThanAuto) ++worse;
  }
  if (j.anchored > 0) {
    j.autoQ = autoSum / j.anchored;
    j.keptQ = keptSum / j.anchored;
    j.worseShare = static_cast<double>(worse) / j.anchored;
  }
  return j;
}

namespace {

std::vector<double> midRanks(const std::vector<double>& v) {
  std::vector<size_t> order(v.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return v[a] < v[b]; });
  std::vector<double> rank(v.size());
  for (size_t i = 0; i < order.size();) {
    size_t j = i;
    while (j + 1 < order.size() && v[order[j + 1]] == v[order[i]]) ++j;
    for (size_t k = i; k <= j; ++k) rank[order[k]] = (static_cast<double>(i + j) / 2) + 1;
    i = j + 1;
  }
  return rank;
}

}  // namespace

double spearman(const std::vector<double>& x, const std::vector<double>& y) {
  if (x.size() != y.size() || x.size() < 3) return std::nan("");
  const std::vector<double> rx = midRanks(x), ry = midRanks(y);
  const double mx = mean(rx), my = mean(ry);
  double sxy = 0, sxx = 0, syy = 0;
  for (size_t i = 0; i < rx.size(); ++i) {
    sxy += (rx[i] - mx) * (ry[i] - my);
    sxx += (rx[i] - mx) * (rx[i] - mx);
    syy += (ry[i] - my) * (ry[i] - my);
  }
  if (sxx <= 0 || syy <= 0) return std::nan("");
  return sxy / std::sqrt(sxx * syy);
}

}  // namespace training
