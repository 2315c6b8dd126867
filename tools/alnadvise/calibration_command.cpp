// alnadvise --calibrate: the speed factor of this machine beside the cost
// model.
#include <cstdio>
#include <iostream>

#include "advice/calibration.h"
#include "advice/cost_model.h"
#include "advisor.h"
#include "runs/file_output.h"
#include "runs/signal_guard.h"
#include "runs/tool_locations.h"

namespace alnadvise {

int runCalibration(const AdviseOptions& options) {
  runs::SignalGuard guard;
  const std::string modelPath = runs::findDataFile(options.costModel, "cost-model.json");
  advice::CostModel model;
  std::string error;
  if (!advice::readCostModel(modelPath, &model, &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    return kBadInput;
  }
  const std::string tools = runs::findToolsFolder(options.tools);
  if (!runs::looksLikeToolsFolder(tools)) {
    std::cerr << "alnadvise: no aligners in '" << tools
              << "' (bin/ and lib/ missing); lay them out with scripts/install-aligners"
              << std::endl;
    return kBadInput;
  }
  if (!options.quiet)
    std::cerr << "alnadvise: timing MAFFT --auto on " << advice::kCalibrationFamilies.size()
              << " reference families" << std::endl;
  advice::Calibration c;
  const bool timed = advice::calibrate(model, tools, &c, &error);
  if (runs::SignalGuard::caught() != 0) {
    std::cerr << "alnadvise: interrupted; runs stopped" << std::endl;
    return 128 + runs::SignalGuard::caught();
  }
  if (!timed) {
    std::cerr << "alnadvise: calibration failed: " << error << std::endl;
    return kEveryRunFailed;
  }
  c.costModel = modelPath;
  const std::string path = advice::calibrationPathFor(modelPath);
  if (!runs::writeFileAtomically(path, advice::formatCalibration(c), &error)) {
    std::cerr << "alnadvise: " << error
              << " (copy the cost model to a folder you may write and give it with --cost-model)"
              << std::endl;
    return kEveryRunFailed;
  }
  std::printf("sequences  mean length  expected s  measured s\n");
  for (const advice::CalibrationRun& r : c.runs)
    std::printf("%-9d  %-11.1f  %-10.2f  %.2f\n", r.sequences, r.meanLength, r.expectedSeconds,
                r.seconds);
  std::printf("speed factor %.3f written to %s\n", c.speedFactor, path.c_str());
  return std::fflush(stdout) == 0 ? kAdviceGiven : kEveryRunFailed;
}

}  // namespace alnadvise
