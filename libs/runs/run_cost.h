// A rough relative cost of a run, so that the job pool starts the long ones
// first and no short run waits behind them at the end.
#ifndef RUNS_RUN_COST_H
#define RUNS_RUN_COST_H

#include "runs/configuration.h"
#include "runs/data_set.h"

namespace runs {

double expectedCost(const Configuration& configuration, const DataSet& data);

}  // namespace runs

#endif
