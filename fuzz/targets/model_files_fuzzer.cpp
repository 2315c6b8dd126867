// The readers of the gain model, the cost model, the column confidence's
// calibration and the cost calibration (JSON); the first byte picks one: 'g'
// gain, 'c' cost, 'k' confidence, anything else the cost calibration. A file
// taken must give finite predictions and survive being written and read
// again.
#include <cmath>
#include <string>

#include "advice/calibration.h"
#include "advice/confidence_calibration.h"
#include "advice/cost_model.h"
#include "advice/gain_model.h"
#include "fuzz_support.h"

namespace {

void gainModel(const std::string& text) {
  advice::GainModel model, back;
  std::string error;
  if (!advice::parseGainModel(text, &model, &error)) {
    fuzz::check(!error.empty(), "gain model error");
    return;
  }
  for (const advice::GainEntry& e : model.entries)
    for (double d : {-1e6, 0.0, 3.0, 1e6}) {
      const advice::GainPrediction p = advice::predictGain(model, e.configuration, {d, d, d});
      fuzz::check(std::isfinite(p.gain) && std::isfinite(p.error) && p.error >= 0,
                  "gain prediction");
      fuzz::check(std::isfinite(advice::expectedImprovement(p.gain, p.error)),
                  "expected improvement");
    }
  fuzz::check(advice::parseGainModel(advice::formatGainModel(model), &back, &error),
              "written gain model read back: " + error);
  fuzz::check(back.entries.size() == model.entries.size() && back.form == model.form,
              "written gain model changed");
}

void costModel(const std::string& text) {
  advice::CostModel model, back;
  std::string error;
  if (!advice::parseCostModel(text, &model, &error)) {
    fuzz::check(!error.empty(), "cost model error");
    return;
  }
  for (const advice::CostFamily& f : model.families)
    for (int n : {2, 400, 100000}) {
      const double s = advice::expectedSeconds(model, f.name, n, 300);
      fuzz::check(!std::isnan(s) && s >= 0, "expected seconds");
    }
  fuzz::check(advice::parseCostModel(advice::formatCostModel(model), &back, &error),
              "written cost model read back: " + error);
  fuzz::check(back.families.size() == model.families.size(), "written cost model changed");
}

void confidenceCalibration(const std::string& text) {
  advice::ConfidenceCalibration c, back;
  std::string error;
  if (!advice::parseConfidenceCalibration(text, &c, &error)) {
    fuzz::check(!error.empty(), "confidence calibration error");
    return;
  }
  double previous = 0;
  for (double raw : {-1.0, 0.0, 0.25, 0.5, 0.999, 1.0, 2.0}) {
    const double v = advice::calibrate(c, raw);
    fuzz::check(v >= 0 && v <= 1 && v >= previous, "calibrated confidence in [0, 1], rising");
    previous = v;
  }
  fuzz::check(advice::parseConfidenceCalibration(advice::formatConfidenceCalibration(c), &back,
                                                 &error),
              "written confidence calibration read back: " + error);
  fuzz::check(back.raw == c.raw && back.calibrated == c.calibrated,
              "written confidence calibration changed");
}

void calibration(const std::string& text) {
  advice::Calibration c, back;
  std::string error;
  if (!advice::parseCalibration(text, &c, &error)) {
    fuzz::check(!error.empty(), "calibration error");
    return;
  }
  fuzz::check(std::isfinite(c.speedFactor) && c.speedFactor > 0, "speed factor");
  fuzz::check(advice::parseCalibration(advice::formatCalibration(c), &back, &error),
              "written calibration read back: " + error);
  fuzz::check(back.speedFactor == c.speedFactor && back.runs.size() == c.runs.size(),
              "written calibration changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(fuzz::text(data + 1, size - 1));
  if (data[0] == 'g')
    gainModel(text);
  else if (data[0] == 'c')
    costModel(text);
  else if (data[0] == 'k')
    confidenceCalibration(text);
  else
    calibration(text);
  return 0;
}
