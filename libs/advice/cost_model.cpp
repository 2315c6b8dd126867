#include "advice/cost_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "advice/mafft_auto.h"
#include "advice/model_file.h"
#include "getChar.h"
#include "runs/aligner_names.h"

namespace advice {

using nlohmann::json;

const char kMergeFamily[] = "merge";

namespace {

bool has(const std::string& options, const char* word) {
  std::istringstream in(options);
  std::string token;
  while (in >> token)
    if (token == word) return true;
  return false;
}

// The integer after option word, or fallback when it is not there.
int valueOf(const std::string& options, const char* word, int fallback) {
  std::istringstream in(options);
  std::string token;
  while (in >> token)
    if (token == word && in >> token) return std::atoi(token.c_str());
  return fallback;
}

std::string mafftFamily(const std::string& options, int n, double longest) {
  if (has(options, kMafftAutoOption)) return mafftAutoStrategy(n, longest).autoFamily;
  if (has(options, "--memsavetree")) return "mafft-memsave";
  if (has(options, "--dpparttree")) return "mafft-dpparttree";
  if (has(options, "--parttree") || has(options, "--fastaparttree")) return "mafft-parttree";
  if (has(options, "--localpair") || has(options, "--globalpair") || has(options, "--genafpair"))
    return "mafft-consistency";
  if (valueOf(options, "--maxiterate", 0) > 0) return "mafft-iterative";
  return "mafft-progressive";
}

// The fit's prior pull on the exponents, in runs' worth of weight.
const double kPriorWeight = 2;
const double kPriorB = 2, kPriorC = 1.5;

struct Fit {
  double start = 0, logA = 0, b = kPriorB, c = kPriorC;
};

// The start: a little under the quickest run's time on at most 100
// sequences (0 without one). Then least squares of ln(t - start) on
// (1, ln N, ln L), with the prior on b and c, over the runs that took at
// least twice the start (all of them when fewer than three did): a 3 x 3
// system solved by Gaussian elimination.
Fit fitLogLinear(const std::vector<const TimedRun*>& all) {
  Fit fit;
  if (all.empty()) return fit;
  bool small = false;
  for (const TimedRun* r : all) {
    if (r->sequences > 100) continue;
    fit.start = small ? std::min(fit.start, r->seconds) : r->seconds;
    small = true;
  }
  fit.start *= 0.9;
  std::vector<const TimedRun*> runs;
  for (const TimedRun* r : all)
    if (r->seconds >= 2 * fit.start) runs.push_back(r);
  if (runs.size() < 3) runs = all;
  double m[3][4] = {{0}};
  for (const TimedRun* r : runs) {
    const double x[3] = {1, std::log(r->sequences), std::log(std::max(1.0, r->meanLength))};
    const double y = std::log(std::max(r->seconds - fit.start, 1e-4));
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) m[i][j] += x[i] * x[j];
      m[i][3] += x[i] * y;
    }
  }
  m[1][1] += kPriorWeight;
  m[1][3] += kPriorWeight * kPriorB;
  m[2][2] += kPriorWeight;
  m[2][3] += kPriorWeight * kPriorC;
  m[0][0] += 1e-9;  // a family of no run keeps the prior
  for (int col = 0; col < 3; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 3; ++row)
      if (std::fabs(m[row][col]) > std::fabs(m[pivot][col])) pivot = row;
    std::swap(m[col], m[pivot]);
    if (std::fabs(m[col][col]) < 1e-12) return fit;
    for (int row = 0; row < 3; ++row) {
      if (row == col) continue;
      const double f = m[row][col] / m[col][col];
      for (int k = col; k < 4; ++k) m[row][k] -= f * m[col][k];
    }
  }
  fit.logA = m[0][3] / m[0][0];
  fit.b = std::clamp(m[1][3] / m[1][1], 0.0, 4.0);
  fit.c = std::clamp(m[2][3] / m[2][2], 0.0, 4.0);
  return fit;
}

// The runs of the large segment, and whether they make one: three runs or
// more on at least two sizes.
std::vector<const TimedRun*> largeRuns(const std::vector<const TimedRun*>& runs) {
  std::vector<const TimedRun*> out;
  std::set<int> sizes;
  for (const TimedRun* r : runs)
    if (r->sequences >= kLargeFitSequences) out.push_back(r), sizes.insert(r->sequences);
  if (out.size() < 3 || sizes.size() < 2) out.clear();
  return out;
}

double predict(const Fit& f, int n, double length, double floor) {
  const double t =
      f.start + std::exp(f.logA + f.b * std::log(n) + f.c * std::log(std::max(1.0, length)));
  return std::max(floor, t);
}

double quantile(std::vector<double> v, double p) {
  if (v.empty()) return 1;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

}  // namespace

std::string costFamily(const runs::Configuration& cf, int n, double length, double longest) {
  switch (cf.kind) {
    case CLUSTALW:
      return "clustalw";
    case DIALIGNTX:
      return "dialigntx";
    case KALIGN:
      return "kalign";
    case MAFFT:
      return mafftFamily(cf.options, n, longest > 0 ? longest : length);
    case MUSCLE:
      return valueOf(cf.options, "-maxiters", 16) <= 2 ? "muscle-fast" : "muscle";
    case PROBCONS:
      return "probcons";
    case CLUSTALO:
      return "clustalo";
    case MUSCLE5:
      return "muscle5";
    case PROBALIGN:
      return "probalign";
    default:
      return cf.kind == runs::kMergeKind ? kMergeFamily : "unknown";
  }
}

const CostFamily* CostModel::find(const std::string& family) const {
  for (const CostFamily& f : families)
    if (f.name == family) return &f;
  // The memory-saving guide tree is timed and valued as the progressive
  // strategy until it has timings of its own; MAFFT --auto as the strategy
  // it picks.
  if (family == "mafft-memsave") return find("mafft-progressive");
  const std::string general = generalFamilyOfAuto(family);
  return general.empty() ? nullptr : find(general);
}

namespace {

// Mean Q per data set of one family's runs.
std::map<std::string, double> qByDataSet(const std::vector<const TimedRun*>& runs) {
  std::map<std::string, std::pair<double, int>> sums;
  for (const TimedRun* r : runs)
    if (r->hasQ) sums[r->dataSet].first += r->q, ++sums[r->dataSet].second;
  std::map<std::string, double> out;
  for (const auto& [set, sum] : sums) out[set] = sum.first / sum.second;
  return out;
}

// A family's Q on the data sets it shares with the reference family, as a
// difference, added to the reference's mean Q: families run only on easy
// (or only on hard) data sets are not taken for better (or worse) than
// they are. The plain mean where no data set is shared.
double pairedQ(const std::map<std::string, double>& own,
               const std::map<std::string, double>& reference) {
  double difference = 0, plain = 0, referenceMean = 0;
  int shared = 0;
  for (const auto& [set, q] : own) {
    plain += q;
    const auto at = reference.find(set);
    if (at == reference.end()) continue;
    difference += q - at->second;
    ++shared;
  }
  for (const auto& entry : reference) referenceMean += entry.second;
  if (shared == 0) return own.empty() ? 0 : plain / static_cast<double>(own.size());
  return referenceMean / static_cast<double>(reference.size()) + difference / shared;
}

}  // namespace

const char kReferenceFamily[] = "mafft-progressive";

bool quadraticMemory(const std::string& family) {
  static const char* const kLinear[] = {"kalign", "clustalo", "mafft-parttree",
                                        "mafft-dpparttree", "mafft-memsave"};
  const std::string general = generalFamilyOfAuto(family);
  for (const char* f : kLinear)
    if ((general.empty() ? family : general) == f) return false;
  return true;
}

CostModel fitCostModel(const std::vector<TimedRun>& runs) {
  CostModel model;
  std::map<std::string, std::vector<const TimedRun*>> byFamily;
  for (const TimedRun& r : runs)
    if (r.seconds > 0 && r.sequences > 0) byFamily[r.family].push_back(&r);
  const auto reference = byFamily.find(kReferenceFamily);
  const std::map<std::string, double> referenceQ =
      reference == byFamily.end() ? std::map<std::string, double>() : qByDataSet(reference->second);
  for (const auto& [name, list] : byFamily) {
    CostFamily f;
    f.name = name;
    const Fit fit = fitLogLinear(list);
    f.startSeconds = fit.start;
    f.logA = fit.logA;
    f.b = fit.b;
    f.c = fit.c;
    const std::vector<const TimedRun*> large = largeRuns(list);
    if (!large.empty()) {
      const Fit l = fitLogLinear(large);
      f.hasLarge = true;
      f.largeLogA = l.logA;
      f.largeB = l.b;
      f.largeC = l.c;
    }
    f.runs = static_cast<int>(list.size());
    std::set<std::string> sets;
    f.minSequences = list[0]->sequences;
    for (const TimedRun* r : list) {
      sets.insert(r->dataSet);
      f.minSequences = std::min(f.minSequences, r->sequences);
      f.maxSequences = std::max(f.maxSequences, r->sequences);
    }
    f.dataSets = static_cast<int>(sets.size());
    f.meanQ = pairedQ(qByDataSet(list), referenceQ);
    // Held out: each data set's runs predicted by a fit without them.
    std::vector<double> errors;
    for (const std::string& held : sets) {
      std::vector<const TimedRun*> rest;
      for (const TimedRun* r : list)
        if (r->dataSet != held) rest.push_back(r);
      const Fit without = fitLogLinear(rest);
      const std::vector<const TimedRun*> restLarge = largeRuns(rest);
      const Fit withoutLarge = restLarge.empty() ? without : fitLogLinear(restLarge);
      for (const TimedRun* r : list) {
        if (r->dataSet != held) continue;
        const bool inLarge = !restLarge.empty() && r->sequences >= kLargeFitSequences;
        const double p = predict(inLarge ? withoutLarge : without, r->sequences, r->meanLength,
                                 model.floorSeconds);
        const double m = std::max(r->seconds, model.floorSeconds);
        errors.push_back(std::max(p / m, m / p));
      }
    }
    f.medianError = quantile(errors, 0.5);
    f.p90Error = quantile(errors, 0.9);
    model.families.push_back(f);
  }
  return model;
}

namespace {

double modelSeconds(const CostModel& model, const std::string& family, int n, double length) {
  const CostFamily* f = model.find(family);
  if (f == nullptr) {
    double slowest = model.floorSeconds;
    for (const CostFamily& g : model.families)
      slowest = std::max(slowest, modelSeconds(model, g.name, n, length));
    return slowest;
  }
  if (f->hasLarge && n >= kLargeFitSequences)
    return predict({0, f->largeLogA, f->largeB, f->largeC}, n, length, model.floorSeconds);
  return predict({f->startSeconds, f->logA, f->b, f->c}, n, length, model.floorSeconds);
}

}  // namespace

double expectedSeconds(const CostModel& model, const std::string& family, int n,
                       double length) {
  return model.speedFactor * modelSeconds(model, family, n, length);
}

double expectedSeconds(const CostModel& model, const runs::Configuration& configuration, int n,
                       double length, double longest) {
  return expectedSeconds(model, costFamily(configuration, n, length, longest), n, length);
}

std::string formatCostModel(const CostModel& m) {
  json families = json::array();
  for (const CostFamily& f : m.families) {
    families.push_back({{"family", f.name},
                        {"startSeconds", f.startSeconds},
                        {"logA", f.logA},
                        {"b", f.b},
                        {"c", f.c},
                        {"runs", f.runs},
                        {"dataSets", f.dataSets},
                        {"sequences", {f.minSequences, f.maxSequences}},
                        {"large", f.hasLarge ? json({{"logA", f.largeLogA},
                                                     {"b", f.largeB},
                                                     {"c", f.largeC}})
                                             : json()},
                        {"meanQ", f.meanQ},
                        {"heldOutError", {{"median", f.medianError}, {"p90", f.p90Error}}}});
  }
  json j;
  j["model"] =
      "seconds = startSeconds + exp(logA) * N^b * L^c, at least floorSeconds; from 500 "
      "sequences on exp(large.logA) * N^large.b * L^large.c where a family has it";
  j["floorSeconds"] = m.floorSeconds;
  j["families"] = families;
  return j.dump(2) + "\n";
}

bool parseCostModel(const std::string& text, CostModel* model, std::string* error) {
  try {
    const json j = json::parse(text);
    CostModel m;
    m.floorSeconds = finiteNumber(j, "floorSeconds");
    if (m.floorSeconds < 0) throw std::runtime_error("\"floorSeconds\" is below 0");
    for (const json& e : j.at("families")) {
      CostFamily f;
      f.name = e.at("family").get<std::string>();
      if (m.find(f.name)) throw std::runtime_error("family \"" + f.name + "\" appears twice");
      f.startSeconds = finiteNumber(e, "startSeconds");
      if (f.startSeconds < 0) throw std::runtime_error("a start is below 0");
      f.logA = finiteNumber(e, "logA");
      f.b = finiteNumber(e, "b");
      f.c = finiteNumber(e, "c");
      if (f.b < 0 || f.b > 4 || f.c < 0 || f.c > 4)
        throw std::runtime_error("family \"" + f.name + "\" has an exponent outside [0, 4]");
      f.runs = count(e, "runs");
      f.dataSets = count(e, "dataSets");
      f.minSequences = countValue(e.at("sequences").at(0), "sequences");
      f.maxSequences = countValue(e.at("sequences").at(1), "sequences");
      const json& large = e.at("large");
      if (!large.is_null()) {
        f.hasLarge = true;
        f.largeLogA = finiteNumber(large, "logA");
        f.largeB = finiteNumber(large, "b");
        f.largeC = finiteNumber(large, "c");
        if (f.largeB < 0 || f.largeB > 4 || f.largeC < 0 || f.largeC > 4)
          throw std::runtime_error("family \"" + f.name + "\" has an exponent outside [0, 4]");
      }
      f.meanQ = finiteNumber(e, "meanQ");
      f.medianError = finiteNumber(e.at("heldOutError"), "median");
      f.p90Error = finiteNumber(e.at("heldOutError"), "p90");
      m.families.push_back(f);
    }
    *model = m;
    return true;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool readCostModel(const std::string& path, CostModel* model, std::string* error) {
  return readModelFile(
      path, "cost model",
      [&](const std::string& text, std::string* why) { return parseCostModel(text, model, why); },
      error);
}

}  // namespace advice
