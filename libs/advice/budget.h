// Which candidates run within a time budget.
//
// Each candidate comes with its expected seconds on one core (cost_model.h)
// and its value: for the advisor, its expected improvement in Q over MAFFT
// --auto (gain_model.h), or, for nucleotide data sets, the mean Q its cost
// family reached in training. The first
// pick is the item marked first (MAFFT --auto, the user's alternative),
// else the most valuable candidate that fits the budget alone (the
// cheapest when none does); it always runs, whatever the budget. Then candidates are taken by
// value per expected second while the expected wall time of the chosen on
// `jobs` cores (longest first, each to the least loaded core) stays within
// the budget; the merge comes last, when its expected time still fits.
// A budget of 0 runs everything.
#ifndef ADVICE_BUDGET_H
#define ADVICE_BUDGET_H

#include <string>
#include <vector>

namespace advice {

struct BudgetItem {
  double expectedSeconds = 0;
  double value = 0;
  bool first = false;  // the first pick, whatever its value and time
};

struct BudgetPlan {
  std::vector<bool> chosen;     // per item
  size_t first = 0;              // the first pick (with a budget and items)
  std::vector<std::string> why;  // per item left out: the reason
  bool merge = false;
  std::string mergeWhy;  // when the merge was wanted but left out
  double expectedWall = 0;  // of the chosen candidates, without the merge
};

BudgetPlan planWithinBudget(const std::vector<BudgetItem>& items, double budgetSeconds, int jobs,
                            bool wantMerge, double mergeSeconds);

// The expected wall time of runs of these expected seconds on `jobs` cores.
double packedWall(std::vector<double> seconds, int jobs);

// "12.3 s", "4 min 10 s", "2 h 5 min".
std::string formatDuration(double seconds);

}  // namespace advice

#endif
