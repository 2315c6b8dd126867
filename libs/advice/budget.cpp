#include "advice/budget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace advice {

double packedWall(std::vector<double> seconds, int jobs) {
  std::sort(seconds.begin(), seconds.end(), std::greater<double>());
  std::vector<double> load(static_cast<size_t>(std::max(1, jobs)), 0.0);
  for (double s : seconds) *std::min_element(load.begin(), load.end()) += s;
  return *std::max_element(load.begin(), load.end());
}

std::string formatDuration(double s) {
  char text[48];
  if (s < 60) {
    std::snprintf(text, sizeof text, "%.1f s", s);
  } else if (s < 3600) {
    std::snprintf(text, sizeof text, "%d min %d s", static_cast<int>(s / 60),
                  static_cast<int>(std::fmod(s, 60)));
  } else {
    std::snprintf(text, sizeof text, "%d h %d min", static_cast<int>(s / 3600),
                  static_cast<int>(std::fmod(s, 3600) / 60));
  }
  return text;
}

BudgetPlan planWithinBudget(const std::vector<BudgetItem>& items, double budget, int jobs,
                            bool wantMerge, double mergeSeconds) {
  const size_t n = items.size();
  BudgetPlan plan;
  plan.chosen.assign(n, budget <= 0);
  plan.why.assign(n, "");
  std::vector<double> seconds;
  if (budget <= 0) {
    for (const BudgetItem& item : items) seconds.push_back(item.expectedSeconds);
    plan.expectedWall = packedWall(seconds, jobs);
    plan.merge = wantMerge;
    return plan;
  }
  if (n == 0) return plan;
  // The first pick: the one marked, else the most valuable that fits
  // alone, else the cheapest.
  size_t first = n;
  for (size_t i = 0; i < n && first == n; ++i)
    if (items[i].first) first = i;
  if (first == n) {
    for (size_t i = 0; i < n; ++i)
      if (items[i].expectedSeconds <= budget &&
          (first == n || items[i].value > items[first].value))
        first = i;
  }
  if (first == n) {
    first = 0;
    for (size_t i = 1; i < n; ++i)
      if (items[i].expectedSeconds < items[first].expectedSeconds) first = i;
  }
  plan.chosen[first] = true;
  plan.first = first;
  seconds.push_back(items[first].expectedSeconds);
  std::vector<size_t> order;
  for (size_t i = 0; i < n; ++i)
    if (i != first) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return items[a].value / std::max(items[a].expectedSeconds, 1e-6) >
           items[b].value / std::max(items[b].expectedSeconds, 1e-6);
  });
  for (size_t i : order) {
    std::vector<double> with = seconds;
    with.push_back(items[i].expectedSeconds);
    if (items[i].expectedSeconds > budget) {
      plan.why[i] = "expected " + formatDuration(items[i].expectedSeconds) +
                    ", over the budget of " + formatDuration(budget);
    } else if (packedWall(with, jobs) > budget) {
      plan.why[i] = "expected " + formatDuration(items[i].expectedSeconds) +
                    ": the budget of " + formatDuration(budget) + " was spent on better value";
    } else {
      plan.chosen[i] = true;
      seconds = with;
    }
  }
  plan.expectedWall = packedWall(seconds, jobs);
  if (wantMerge) {
    plan.merge = plan.expectedWall + mergeSeconds <= budget;
    if (!plan.merge)
      plan.mergeWhy = "expected " + formatDuration(mergeSeconds) + ", after " +
                      formatDuration(plan.expectedWall) + " of runs, over the budget of " +
                      formatDuration(budget);
  }
  return plan;
}

}  // namespace advice
