#include "advice/gain_model.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "runs/aligner_names.h"
#include "advice/model_file.h"

namespace advice {

using nlohmann::json;

const char* const kDescriptorNames[kDescriptorCount] = {"logSequences", "logLength",
                                                        "lengthSpread"};

Descriptors describeDataSet(const double features[10]) {
  const double length = std::max(features[1], 1.0);
  return {std::log(std::max(features[0], 1.0)), std::log(length),
          std::max(features[2], 0.0) / length};
}

const GainEntry* GainModel::find(const runs::Configuration& configuration) const {
  for (const GainEntry& e : entries)
    if (e.configuration == configuration) return &e;
  return nullptr;
}

double GainModel::largestError() const {
  double largest = 0;
  for (const GainEntry& e : entries) largest = std::max(largest, e.error);
  return largest;
}

bool withinTrainedRange(const GainModel& model, const Descriptors& descriptors) {
  for (int k = 0; k < kDescriptorCount; ++k)
    if (descriptors[k] < model.low[k] - model.scale[k] ||
        descriptors[k] > model.high[k] + model.scale[k])
      return false;
  return true;
}

GainPrediction predictGain(const GainModel& model, const runs::Configuration& configuration,
                           const Descriptors& descriptors) {
  GainPrediction p;
  const GainEntry* e = model.find(configuration);
  if (!e || !withinTrainedRange(model, descriptors)) {
    p.error = model.largestError();
    return p;
  }
  p.seen = true;
  p.gain = e->intercept;
  p.error = e->error;
  for (int k = 0; k < kDescriptorCount; ++k) {
    const double x = std::clamp(descriptors[k], model.low[k], model.high[k]);
    p.gain += e->weight[k] * (x - model.center[k]) / model.scale[k];
  }
  return p;
}

double expectedImprovement(double gain, double error) {
  if (!(error > 0)) return std::max(0.0, gain);
  const double z = gain / error;
  const double density = std::exp(-0.5 * z * z) / std::sqrt(2 * M_PI);
  const double below = 0.5 * std::erfc(-z / std::sqrt(2.0));
  return gain * below + error * density;
}

const char* gainFormName(GainForm form) { return form == GainForm::kLinear ? "linear" : "mean"; }

namespace {

json descriptorsJson(const Descriptors& d) { return json(std::vector<double>(d.begin(), d.end())); }

}  // namespace

std::string formatGainModel(const GainModel& m) {
  json j;
  j["form"] = gainFormName(m.form);
  j["descriptors"] = std::vector<std::string>(kDescriptorNames, kDescriptorNames + kDescriptorCount);
  j["center"] = descriptorsJson(m.center);
  j["scale"] = descriptorsJson(m.scale);
  j["low"] = descriptorsJson(m.low);
  j["high"] = descriptorsJson(m.high);
  j["crossValidation"] = {{"dataSets", m.dataSets},
                          {"folds", m.folds},
                          {"zeroError", m.zeroError},
                          {"meanError", m.meanError},
                          {"linearError", m.linearError}};
  json entries = json::array();
  for (const GainEntry& e : m.entries)
    entries.push_back({{"aligner", runs::alignerName(e.configuration.kind)},
                       {"options", e.configuration.options},
                       {"intercept", e.intercept},
                       {"weight", descriptorsJson(e.weight)},
                       {"error", e.error},
                       {"dataSets", e.dataSets}});
  j["configurations"] = entries;
  return j.dump(2) + "\n";
}

bool parseGainModel(const std::string& text, GainModel* model, std::string* error) {
  try {
    const json j = json::parse(text);
    if (j.at("descriptors") !=
        json(std::vector<std::string>(kDescriptorNames, kDescriptorNames + kDescriptorCount)))
      throw std::runtime_error("its \"descriptors\" are not the ones this program computes");
    GainModel m;
    const std::string form = j.at("form").get<std::string>();
    if (form != "mean" && form != "linear")
      throw std::runtime_error("\"form\" is neither \"mean\" nor \"linear\"");
    m.form = form == "linear" ? GainForm::kLinear : GainForm::kMean;
    m.center = finiteNumbers<kDescriptorCount>(j, "center");
    m.scale = finiteNumbers<kDescriptorCount>(j, "scale");
    m.low = finiteNumbers<kDescriptorCount>(j, "low");
    m.high = finiteNumbers<kDescriptorCount>(j, "high");
    for (int k = 0; k < kDescriptorCount; ++k) {
      if (m.scale[k] <= 0) throw std::runtime_error("a scale is not above 0");
      if (m.low[k] > m.high[k]) throw std::runtime_error("a range ends below its start");
    }
    const json& cv = j.at("crossValidation");
    m.dataSets = count(cv, "dataSets");
    m.folds = count(cv, "folds");
    m.zeroError = finiteNumber(cv, "zeroError");
    m.meanError = finiteNumber(cv, "meanError");
    m.linearError = finiteNumber(cv, "linearError");
    for (const json& e : j.at("configurations")) {
      GainEntry g;
      int kind = 0;
      const std::string aligner = e.at("aligner").get<std::string>();
      if (!runs::parseAlignerName(aligner, &kind))
        throw std::runtime_error("unknown aligner \"" + aligner + "\"");
      g.configuration = runs::makeConfiguration(kind, e.at("options").get<std::string>());
      g.intercept = finiteNumber(e, "intercept");
      g.weight = finiteNumbers<kDescriptorCount>(e, "weight");
      g.error = finiteNumber(e, "error");
      if (g.error < 0) throw std::runtime_error("an error is below 0");
      g.dataSets = count(e, "dataSets");
      m.entries.push_back(g);
    }
    *model = m;
    return true;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool readGainModel(const std::string& path, GainModel* model, std::string* error) {
  return readModelFile(
      path, "gain model",
      [&](const std::string& text, std::string* why) { return parseGainModel(text, model, why); },
      error);
}

}  // namespace advice
