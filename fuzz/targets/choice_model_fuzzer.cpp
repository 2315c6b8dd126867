// The learned estimator's model reader (JSON). A model taken must predict
// finite numbers and survive being written and read again unchanged.
#include <cmath>
#include <string>

#include "advice/choice_model.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  advice::ChoiceModel model;
  std::string error;
  if (!advice::parseChoiceModel(std::string(fuzz::text(data, size)), &model, &error)) {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
    return 0;
  }
  for (int k = 0; k < advice::kFeatureCount; ++k)
    fuzz::check(model.scale[k] > 0 && std::isfinite(model.weight[k]), "scale or weight");
  std::vector<advice::FeatureVector> features(3, advice::FeatureVector{});
  for (size_t i = 0; i < features.size(); ++i)
    for (int k = 0; k < advice::kFeatureCount; ++k) features[i][k] = 0.1 * static_cast<double>(i + k);
  for (double p : advice::predictQ(model, features))
    fuzz::check(!std::isnan(p), "prediction is not a number");
  advice::ChoiceModel back;
  fuzz::check(advice::parseChoiceModel(advice::formatChoiceModel(model), &back, &error),
              "written model read back: " + error);
  fuzz::check(back.weight == model.weight && back.scale == model.scale &&
                  back.intercept == model.intercept && back.slope == model.slope &&
                  back.defaultEstimator == model.defaultEstimator,
              "written model changed");
  return 0;
}
