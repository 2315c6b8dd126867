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
    // Measured against MAFFT's consistency strategies on 9 to 186 sequences:
    // ProbCons about 5 times, Probalign 4, MUSCLE 5 7.5, Clustal Omega a fifth.
    case PROBCONS:
      weight = 2 * n;
      break;
    case PROBALIGN:
      weight = 1.6 * n;
      break;
    case MUSCLE5:
      weight = 3 * n;
      break;
    case CLUSTALO:
      weight = 0.8;
      break;
    default:
      break;
  }
  return weight * n * n * length;
}

}  // namespace runs
