#include "advice/confidence_calibration.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "advice/model_file.h"

namespace advice {

using nlohmann::json;

double calibrate(const ConfidenceCalibration& c, double raw) {
  if (std::isnan(raw) || c.raw.empty()) return raw;
  if (raw <= c.raw.front()) return c.calibrated.front();
  if (raw >= c.raw.back()) return c.calibrated.back();
  const size_t k = static_cast<size_t>(std::upper_bound(c.raw.begin(), c.raw.end(), raw) -
                                       c.raw.begin());  // c.raw[k - 1] <= raw < c.raw[k]
  const double t = (raw - c.raw[k - 1]) / (c.raw[k] - c.raw[k - 1]);
  return c.calibrated[k - 1] + t * (c.calibrated[k] - c.calibrated[k - 1]);
}

bool parseConfidenceCalibration(const std::string& text, ConfidenceCalibration* out,
                                std::string* error) {
  try {
    const json j = json::parse(text);
    ConfidenceCalibration c;
    for (const json& knot : j.at("knots")) {
      if (!knot.is_array() || knot.size() != 2 || !knot[0].is_number() || !knot[1].is_number())
        throw std::runtime_error("a knot is not two numbers");
      c.raw.push_back(knot[0].get<double>());
      c.calibrated.push_back(knot[1].get<double>());
    }
    if (c.raw.empty()) throw std::runtime_error("no knot");
    for (size_t k = 0; k < c.raw.size(); ++k) {
      if (!(c.raw[k] >= 0 && c.raw[k] <= 1 && c.calibrated[k] >= 0 && c.calibrated[k] <= 1))
        throw std::runtime_error("a knot is outside [0, 1]");
      if (k > 0 && (c.raw[k] <= c.raw[k - 1] || c.calibrated[k] < c.calibrated[k - 1]))
        throw std::runtime_error("the knots do not rise");
    }
    const json& v = j.at("crossValidation");
    c.dataSets = count(v, "dataSets");
    c.folds = count(v, "folds");
    c.columns = count(v, "columns");
    c.rawError = finiteNumber(v, "rawError");
    c.heldOutError = finiteNumber(v, "heldOutError");
    *out = c;
    return true;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool readConfidenceCalibration(const std::string& path, ConfidenceCalibration* out,
                               std::string* error) {
  return readModelFile(
      path, "confidence calibration",
      [&](const std::string& text, std::string* why) {
        return parseConfidenceCalibration(text, out, why);
      },
      error);
}

std::string formatConfidenceCalibration(const ConfidenceCalibration& c) {
  json knots = json::array();
  for (size_t k = 0; k < c.raw.size(); ++k) knots.push_back({c.raw[k], c.calibrated[k]});
  const json j = {{"knots", knots},
                  {"crossValidation",
                   {{"dataSets", c.dataSets},
                    {"folds", c.folds},
                    {"columns", c.columns},
                    {"rawError", c.rawError},
                    {"heldOutError", c.heldOutError}}}};
  return j.dump(2) + "\n";
}

}  // namespace advice
