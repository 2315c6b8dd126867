#include "training/effort_validation.h"

#include <cstdio>

#include "advice/advisor.h"
#include "advice/budget.h"
#include "training/choice_fit.h"

namespace training {

std::vector<bool> plannedRuns(const HeldOut& h, const BenchmarkSet& set,
                              const advice::Effort& effort, const advice::GainModel& gains,
                              const advice::CostModel& cost, int jobs) {
  const int n = static_cast<int>(set.data.size());
  const double length = set.data.meanLength(), longest = static_cast<double>(set.data.longest());
  const advice::Descriptors descriptors = advice::describeDataSet(set.features);
  std::vector<advice::BudgetItem> items;
  for (size_t i = 0; i < h.runs.size(); ++i) {
    const runs::Configuration& c = h.runs[i].candidate.configuration;
    const advice::GainPrediction p = advice::predictGain(gains, c, descriptors);
    items.push_back({advice::expectedSeconds(cost, c, n, length, longest),
                     advice::expectedImprovement(p.gain, p.error), h.anchored && i == 0});
  }
  const double budget =
      advice::effortBudget(effort, advice::mafftAutoWallSeconds(cost, n, length, longest, jobs));
  return advice::planWithinBudget(items, budget, jobs, false, 0).chosen;
}

std::vector<advice::EffortCheck> validateEfforts(const std::vector<HeldOut>& results,
                                                 const std::vector<BenchmarkSet>& sets,
                                                 const LearntChoice& learnt,
                                                 const std::vector<advice::GainModel>& gainPerFold,
                                                 const advice::CostModel& costModel, int jobs) {
  std::vector<advice::EffortCheck> checks;
  for (const advice::Effort& effort : advice::kEfforts) {
    std::vector<ChoiceExample> examples;
    std::vector<int> folds;
    double runs = 0;
    for (const HeldOut& h : results) {
      const size_t f = static_cast<size_t>(h.fold - 1);
      if (f >= gainPerFold.size() || h.runs.empty()) continue;
      const BenchmarkSet& set = sets[h.set];
      const std::vector<bool> chosen = plannedRuns(h, set, effort, gainPerFold[f], costModel, jobs);
      std::vector<advice::CandidateResult> ran;
      for (size_t i = 0; i < h.runs.size(); ++i)
        if (chosen[i]) ran.push_back(h.runs[i]);
      runs += static_cast<double>(ran.size());
      const bool anchored = h.anchored && !chosen.empty() && chosen[0];
      double unused = 0;
      ChoiceExample e = choiceExample(ran, set.data.size(), anchored, &unused);
      // --auto alone (the budget had room for nothing else): its Q, counted
      // like any other set's.
      if (e.candidates.empty() && anchored && ran[0].valid) {
        e.candidates.assign(1, advice::FeatureVector{});
        e.q = {ran[0].q};
        e.anchor = 0;
      }
      examples.push_back(e);
      folds.push_back(h.fold);
    }
    const SwitchJudgement j = judgeSwitching(examples, folds, learnt.perFold);
    advice::EffortCheck c;
    c.effort = effort.name;
    c.switchMargin = j.margin;
    c.dataSets = j.anchored;
    c.autoQ = j.autoQ;
    c.keptQ = j.keptQ;
    c.worseShare = j.worseShare;
    c.meanRuns = examples.empty() ? 0 : runs / static_cast<double>(examples.size());
    checks.push_back(c);
  }
  return checks;
}

std::string formatEffortChecks(const std::vector<advice::EffortCheck>& checks, int jobs) {
  char line[240];
  std::snprintf(line, sizeof line,
                "\nEach effort, held out, among the candidates its default budget runs on %d "
                "cores\n(the shipped cost model, the gain model fitted without the set's fold):\n"
                "  effort     runs   --auto  advisor  below --auto - %.2f  margin\n",
                jobs, advice::kWorseThanAuto);
  std::string text = line;
  for (const advice::EffortCheck& c : checks) {
    std::snprintf(line, sizeof line, "  %-9s %5.1f  %7.3f  %7.3f  %3d of %-3d          %.3f\n",
                  c.effort.c_str(), c.meanRuns, c.autoQ, c.keptQ,
                  static_cast<int>(c.worseShare * c.dataSets + 0.5), c.dataSets, c.switchMargin);
    text += line;
  }
  return text;
}

}  // namespace training
