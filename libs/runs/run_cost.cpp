#include "runs/run_cost.h"

#include "getChar.h"

namespace runs {

double expectedCost(const Configuration& configuration, const DataSet& data) {
  const double n = static_cast<double>(data.size());
  const double length = data.meanLength();
  const bool consistency = configuration.options.find("pair") != std::string::npos ||
                           configuration.options.find("maxiterate") != std::string::npos;
  double weight = 1;
  switch (configuration.kind) {
    case DIALIGNTX:
      weight = 8 * length / 100;
      break;
    case CLUSTALW:
      weight = 2;
      break;
    case MUSCLE:
      weight = 1.5;
      break;
    case MAFFT:
      weight = consistency ? 4 * n / 10 : 1;
      break;
    case KALIGN:
      weight = 0.5;
      break;
    default:
      break;
  }
  return weight * n * n * length;
}

}  // namespace runs
