#include "advice/choice_model.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "advice/model_file.h"

namespace advice {

using nlohmann::json;

const char* estimatorName(Estimator e) {
  return e == Estimator::kLearned     ? "learned"
         : e == Estimator::kConsensus ? "consensus"
                                      : "agreement";
}

FeatureVector ChoiceModel::filled(double value) {
  FeatureVector v;
  v.fill(value);
  return v;
}

ChoiceModel ChoiceModel::plain() {
  ChoiceModel m;
  m.weight[kAgreement] = 1;
  return m;
}

std::vector<double> predictQ(const ChoiceModel& m, const std::vector<FeatureVector>& features) {
  const size_t n = features.size();
  FeatureVector mean{};
  for (const FeatureVector& f : features)
    for (int k = 0; k < kFeatureCount; ++k) mean[k] += f[k] / static_cast<double>(n);
  std::vector<double> predicted(n, m.intercept + m.slope * mean[kAgreement]);
  for (size_t i = 0; i < n; ++i)
    for (int k = 0; k < kFeatureCount; ++k)
      predicted[i] += m.weight[k] * (features[i][k] - mean[k]) / m.scale[k];
  return predicted;
}

size_t chooseCandidate(const ChoiceModel& model, const std::vector<FeatureVector>& features) {
  const std::vector<double> predicted = predictQ(model, features);
  size_t best = 0;
  for (size_t i = 1; i < predicted.size(); ++i)
    if (predicted[i] > predicted[best]) best = i;
  return best;
}

namespace {

json vectorJson(const FeatureVector& v) { return json(std::vector<double>(v.begin(), v.end())); }

}  // namespace

std::string formatChoiceModel(const ChoiceModel& m) {
  json j;
  j["features"] = std::vector<std::string>(kFeatureNames, kFeatureNames + kFeatureCount);
  j["scale"] = vectorJson(m.scale);
  j["weight"] = vectorJson(m.weight);
  j["level"] = {{"intercept", m.intercept}, {"slope", m.slope}};
  j["fittedOn"] = {{"dataSets", m.dataSets}, {"candidates", m.candidates}};
  j["crossValidation"] = {{"folds", m.folds},
                          {"dataSets", m.crossValidatedSets},
                          {"learnedQ", m.learnedQ},
                          {"agreementQ", m.agreementQ},
                          {"learnedSpearman", m.learnedSpearman},
                          {"agreementSpearman", m.agreementSpearman}};
  if (m.autoSets > 0)
    j["crossValidation"]["againstMafftAuto"] = {{"dataSets", m.autoSets},
                                                {"autoQ", m.autoQ},
                                                {"keptQ", m.keptQ},
                                                {"worseShare", m.worseShare},
                                                {"worseBy", kWorseThanAuto}};
  if (m.nestedFolds > 0)
    j["crossValidation"]["nestedDefault"] = {{"folds", m.nestedFolds},
                                             {"learnedFolds", m.nestedLearnedFolds},
                                             {"defaultQ", m.nestedDefaultQ}};
  if (m.hasSwitchMargin) j["switchMargin"] = m.switchMargin;
  for (const EffortCheck& e : m.efforts)
    j["efforts"][e.effort] = {{"switchMargin", e.switchMargin}, {"dataSets", e.dataSets},
                              {"autoQ", e.autoQ},               {"keptQ", e.keptQ},
                              {"worseShare", e.worseShare},     {"meanRuns", e.meanRuns}};
  j["defaultEstimator"] = estimatorName(m.defaultEstimator);
  return j.dump(2) + "\n";
}

const EffortCheck* ChoiceModel::findEffort(const std::string& name) const {
  for (const EffortCheck& e : efforts)
    if (e.effort == name) return &e;
  return nullptr;
}

bool parseChoiceModel(const std::string& text, ChoiceModel* model, std::string* error) {
  try {
    const json j = json::parse(text);
    const json& names = j.at("features");
    if (names != json(std::vector<std::string>(kFeatureNames, kFeatureNames + kFeatureCount)))
      throw std::runtime_error("its \"features\" are not the ones this program computes");
    ChoiceModel m;
    m.scale = finiteNumbers<kFeatureCount>(j, "scale");
    m.weight = finiteNumbers<kFeatureCount>(j, "weight");
    for (double s : m.scale)
      if (s <= 0) throw std::runtime_error("a scale is not above 0");
    m.intercept = finiteNumber(j.at("level"), "intercept");
    m.slope = finiteNumber(j.at("level"), "slope");
    const json& fitted = j.at("fittedOn");
    m.dataSets = count(fitted, "dataSets");
    m.candidates = count(fitted, "candidates");
    const json& cv = j.at("crossValidation");
    m.folds = count(cv, "folds");
    m.crossValidatedSets = count(cv, "dataSets");
    m.learnedQ = finiteNumber(cv, "learnedQ");
    m.agreementQ = finiteNumber(cv, "agreementQ");
    m.learnedSpearman = finiteNumber(cv, "learnedSpearman");
    m.agreementSpearman = finiteNumber(cv, "agreementSpearman");
    if (cv.contains("againstMafftAuto")) {
      const json& a = cv.at("againstMafftAuto");
      m.autoSets = count(a, "dataSets");
      m.autoQ = finiteNumber(a, "autoQ");
      m.keptQ = finiteNumber(a, "keptQ");
      m.worseShare = finiteNumber(a, "worseShare");
    }
    if (cv.contains("nestedDefault")) {
      const json& n = cv.at("nestedDefault");
      m.nestedFolds = count(n, "folds");
      m.nestedLearnedFolds = count(n, "learnedFolds");
      m.nestedDefaultQ = finiteNumber(n, "defaultQ");
      if (m.nestedLearnedFolds > m.nestedFolds)
        throw std::runtime_error("\"learnedFolds\" is above \"folds\"");
    }
    if (j.contains("switchMargin")) {
      m.hasSwitchMargin = true;
      m.switchMargin = finiteNumber(j, "switchMargin");
      if (m.switchMargin < 0 || m.switchMargin >= 1)
        throw std::runtime_error("\"switchMargin\" is not in [0, 1)");
    }
    if (j.contains("efforts")) {
      if (!j.at("efforts").is_object()) throw std::runtime_error("\"efforts\" is not an object");
      for (const auto& [name, e] : j.at("efforts").items()) {
        EffortCheck c;
        c.effort = name;
        c.switchMargin = finiteNumber(e, "switchMargin");
        if (c.switchMargin < 0 || c.switchMargin >= 1)
          throw std::runtime_error("an effort's \"switchMargin\" is not in [0, 1)");
        c.dataSets = count(e, "dataSets");
        c.autoQ = finiteNumber(e, "autoQ");
        c.keptQ = finiteNumber(e, "keptQ");
        c.worseShare = finiteNumber(e, "worseShare");
        c.meanRuns = finiteNumber(e, "meanRuns");
        m.efforts.push_back(c);
      }
    }
    const std::string chosen = j.at("defaultEstimator").get<std::string>();
    if (chosen != "learned" && chosen != "agreement")
      throw std::runtime_error("\"defaultEstimator\" is neither \"learned\" nor \"agreement\"");
    m.defaultEstimator = chosen == "learned" ? Estimator::kLearned : Estimator::kAgreement;
    *model = m;
    return true;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool readChoiceModel(const std::string& path, ChoiceModel* model, std::string* error) {
  return readModelFile(
      path, "choice model",
      [&](const std::string& text, std::string* why) { return parseChoiceModel(text, model, why); },
      error);
}

}  // namespace advice
