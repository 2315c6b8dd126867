// The whole advice with the real aligners on BAliBASE sets that Debian
// ships: reference and agreement modes, the merge, a missing aligner, a
// hanging one and a data set where every run fails.
#include "alnadvise/advisor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <tuple>

#include "advice/choice_model.h"
#include "scoring/agreement.h"
#include "scoring/score.h"

#include "test_support.h"
#include "tools_folder.h"

using namespace testing_support;
using alnadvise::AdviseOptions;
using nlohmann::json;

namespace {

const std::string kExamples = "/usr/share/doc/kalign/examples/";

class AdvisorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (realToolsFolder().empty()) FAIL() << "GETCHAR_TOOLS_DIR is not set";
    options.dataSet = kExamples + "BB11001.tfa";
    options.outputFolder = dir.file("out");
    options.table = "/dev/null";
    options.front = "/dev/null";
    options.tools = realToolsFolder();
    options.jobs = 2;
    options.quiet = true;
  }

  // Runs the advice; returns report.json (null when absent).
  json advise(int expectedStatus) {
    int status = -1;
    captured = capture([&] { status = alnadvise::runAdvisor(options); });
    EXPECT_EQ(status, expectedStatus) << captured.err;
    const std::string text = readFile(options.outputFolder + "/report.json");
    return text.empty() ? json() : json::parse(text);
  }

  static const json& byAligner(const json& report, const std::string& aligner) {
    for (const json& c : report["candidates"])
      if (c["aligner"] == aligner && c["options"] == "") return c;
    static json none;
    return none;
  }

  TempDir dir;
  AdviseOptions options;
  Captured captured;
};

TEST_F(AdvisorTest, ReferenceModeRanksByQAndTcAndRestoresNames) {
  options.budgetSeconds = 0;  // every candidate runs
  options.reference = kExamples + "BB11001.msf";
  options.merge = false;
  const json report = advise(0);
  EXPECT_EQ(report["mode"], "reference");
  ASSERT_EQ(report["candidates"].size(), 8u);  // five defaults, three consistency strategies
  double previous = 3;
  int unrounded = 0;
  scoring::Alignment reference;
  std::string error;
  ASSERT_TRUE(scoring::readAlignmentFile(options.reference, &reference, &error)) << error;
  for (const json& c : report["candidates"]) {
    EXPECT_EQ(c["status"], "done") << c.dump();
    const double sum = c["Q"].get<double>() + c["TC"].get<double>();
    EXPECT_GT(c["Q"].get<double>(), 0.3);
    EXPECT_LE(sum, previous);
    previous = sum;
    ASSERT_TRUE(fileExists(options.outputFolder + "/" + c["file"].get<std::string>()));
    // Ranked on Q and TC in full, not on the scorer's three digits.
    scoring::Alignment test;
    ASSERT_TRUE(scoring::readAlignmentFile(options.outputFolder + "/" + c["file"].get<std::string>(),
                                           &test, &error));
    scoring::ScoreOptions scorer;
    scorer.match.truncateNames = true;
    scoring::Score score;
    ASSERT_TRUE(scoring::scoreAlignments(test, reference, scorer, &score, &error)) << error;
    EXPECT_DOUBLE_EQ(c["Q"].get<double>(), score.q);
    EXPECT_DOUBLE_EQ(c["TC"].get<double>(), score.tc);
    unrounded += std::fabs(score.q * 1000 - std::round(score.q * 1000)) > 1e-6;
  }
  EXPECT_GT(unrounded, 0);
  EXPECT_EQ(report["candidates"][0]["rank"], 1);
  const std::string best = readFile(options.outputFolder + "/best.fasta");
  EXPECT_EQ(best, readFile(options.outputFolder + "/" +
                           report["candidates"][0]["file"].get<std::string>()));
  EXPECT_NE(best.find(">1aab_\n"), std::string::npos);
  EXPECT_NE(captured.out.find("rank  aligner"), std::string::npos);
}

// Mean share of c's pairs that the listed others align, from the written files.
double meanShare(const std::string& folder, const json& c, const std::vector<const json*>& others) {
  scoring::Alignment a, b;
  std::string error;
  EXPECT_TRUE(scoring::readAlignmentFile(folder + "/" + c["file"].get<std::string>(), &a, &error));
  double sum = 0;
  for (const json* d : others) {
    EXPECT_TRUE(
        scoring::readAlignmentFile(folder + "/" + (*d)["file"].get<std::string>(), &b, &error));
    double share = 0;
    EXPECT_TRUE(scoring::agreementShare(a, b, &share, &error)) << error;
    sum += share;
  }
  return others.empty() ? 0 : sum / static_cast<double>(others.size());
}

TEST_F(AdvisorTest, AgreementModeMergesAndKeepsTheMergeOutOfOthersMeans) {
  options.budgetSeconds = 0;  // every candidate runs
  options.aligners = {2, 3, 4};  // Kalign, MAFFT, MUSCLE
  options.merge = true;
  options.estimator = "agreement";
  const json report = advise(0);
  EXPECT_EQ(report["mode"], "agreement");
  EXPECT_EQ(report["estimator"]["name"], "agreement");
  const json* merge = nullptr;
  std::vector<const json*> runs;
  for (const json& c : report["candidates"]) {
    EXPECT_EQ(c["status"], "done") << c.dump();
    EXPECT_TRUE(c["Q"].is_null());
    EXPECT_TRUE(c["predictedQ"].is_null());
    (c["aligner"] == "MERGE" ? merge : runs.emplace_back()) = &c;
  }
  ASSERT_NE(merge, nullptr);
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_EQ((*merge)["file"], "alignments/merge.fasta");
  // Each run's agreement is its mean share with the other five runs: the
  // merge, which holds their pairs, never votes.
  for (const json* c : runs) {
    std::vector<const json*> others;
    for (const json* d : runs)
      if (d != c) others.push_back(d);
    EXPECT_NEAR((*c)["agreement"].get<double>(), meanShare(options.outputFolder, *c, others),
                5e-4)
        << c->dump();
  }
  // The merge is compared only with the three runs it was not made of; its
  // inputs are the three the agreement ranked first.
  ASSERT_EQ((*merge)["mergeInputs"].size(), 3u);
  std::vector<const json*> notInputs;
  std::vector<double> inputAgreement, otherAgreement;
  for (const json* c : runs) {
    bool input = false;
    for (const json& id : (*merge)["mergeInputs"]) input = input || id == (*c)["id"];
    (input ? inputAgreement : otherAgreement).push_back((*c)["agreement"].get<double>());
    if (!input) notInputs.push_back(c);
  }
  ASSERT_EQ(notInputs.size(), 3u);
  EXPECT_GE(*std::min_element(inputAgreement.begin(), inputAgreement.end()),
            *std::max_element(otherAgreement.begin(), otherAgreement.end()));
  EXPECT_NEAR((*merge)["agreement"].get<double>(),
              meanShare(options.outputFolder, *merge, notInputs), 5e-4);
  EXPECT_GT(report["timing"]["runSeconds"].get<double>(), 0);
  EXPECT_TRUE(fileExists(options.outputFolder + "/best.fasta"));
}

// A model that prefers alignments others' pairs agree with (reverse
// agreement) over plain agreement.
std::string reverseModel() {
  advice::ChoiceModel m = advice::ChoiceModel::plain();
  m.weight[advice::kReverse] = 1;
  m.defaultEstimator = advice::Estimator::kLearned;
  m.folds = 3;
  m.learnedQ = 0.9;
  return advice::formatChoiceModel(m);
}

TEST_F(AdvisorTest, LearnedEstimatorRanksByPredictedQAndMergesItsThreeBest) {
  options.budgetSeconds = 0;  // every candidate runs
  options.aligners = {2, 3, 4};
  options.merge = true;
  writeFile(dir.file("model.json"), reverseModel());
  options.choiceModel = dir.file("model.json");  // its default estimator: learned
  const json report = advise(0);
  EXPECT_EQ(report["estimator"]["name"], "learned");
  EXPECT_EQ(report["estimator"]["model"], options.choiceModel);
  EXPECT_EQ(report["estimator"]["crossValidation"]["folds"], 3);
  // By predicted Q, but MAFFT --auto (candidate 1) goes first when the best
  // beats it by no more than the margin.
  std::vector<std::pair<double, int>> byPrediction;
  std::vector<int> shown;
  for (const json& c : report["candidates"]) {
    if (c["aligner"] == "MERGE") continue;
    ASSERT_TRUE(c["predictedQ"].is_number()) << c.dump();
    byPrediction.emplace_back(-c["predictedQ"].get<double>(), c["id"].get<int>());
    shown.push_back(c["id"].get<int>());
  }
  std::stable_sort(byPrediction.begin(), byPrediction.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<int> expected;
  for (const auto& p : byPrediction) expected.push_back(p.second);
  const double margin = report["choice"]["switchMargin"].get<double>();
  EXPECT_EQ(margin, advice::kDefaultSwitchMargin);
  double autoQ = 0;
  for (const auto& p : byPrediction)
    if (p.second == 1) autoQ = -p.first;
  const bool kept = expected[0] != 1 && -byPrediction[0].first - autoQ <= margin;
  EXPECT_EQ(report["choice"]["keptMafftAuto"], kept);
  if (kept) {
    expected.erase(std::find(expected.begin(), expected.end(), 1));
    expected.insert(expected.begin(), 1);
  }
  EXPECT_EQ(shown, expected);
  for (const json& c : report["candidates"]) {
    if (c["aligner"] != "MERGE") continue;
    // The model never saw a merge: it gets no prediction and follows; its
    // inputs are the three of highest prediction.
    EXPECT_TRUE(c["predictedQ"].is_null());
    EXPECT_EQ(c["rank"], 7);
    std::vector<int> inputs = c["mergeInputs"].get<std::vector<int>>();
    std::sort(inputs.begin(), inputs.end());
    std::vector<int> firstThree;
    for (size_t k = 0; k < 3; ++k) firstThree.push_back(byPrediction[k].second);
    std::sort(firstThree.begin(), firstThree.end());
    EXPECT_EQ(inputs, firstThree);
  }
  EXPECT_EQ(report["best"]["id"], report["candidates"][0]["id"]);
}

// An effort's default budget takes that effort's margin from the model; a
// budget in seconds, or an effort the model did not judge, the general one.
TEST_F(AdvisorTest, EachEffortTakesItsOwnSwitchMargin) {
  options.aligners = {2, 3};
  json model = json::parse(reverseModel());
  model["switchMargin"] = 0.03;
  model["efforts"]["fast"] = {{"switchMargin", 0.25}, {"dataSets", 29}, {"autoQ", 0.8},
                              {"keptQ", 0.81}, {"worseShare", 0}, {"meanRuns", 5}};
  writeFile(dir.file("model.json"), model.dump());
  options.choiceModel = dir.file("model.json");
  const std::vector<std::tuple<std::string, double, double>> cases = {
      {"fast", -1, 0.25}, {"default", -1, 0.03}, {"fast", 100, 0.03}};
  for (const auto& [effort, budget, margin] : cases) {
    options.effort = effort;
    options.budgetSeconds = budget;
    options.outputFolder = dir.file("out-" + effort + std::to_string(budget > 0));
    const json report = advise(0);
    EXPECT_EQ(report["choice"]["switchMargin"], margin) << effort << " " << budget;
    // The report carries the held-out record of the effort that applied.
    const json& record = report["estimator"]["crossValidation"]["effort"];
    EXPECT_EQ(record.is_null(), margin != 0.25) << record.dump();
    if (!record.is_null()) {
      EXPECT_EQ(record["keptQ"], 0.81);
    }
  }
}

TEST_F(AdvisorTest, ModelFileFaultsAreLoudUnlessAgreementIsAsked) {
  options.aligners = {2};
  options.merge = false;
  std::string text = reverseModel();
  text.replace(text.find("\"reverse\""), 9, "\"inverse\"");
  writeFile(dir.file("model.json"), text);
  options.choiceModel = dir.file("model.json");
  advise(2);
  EXPECT_NE(captured.err.find("model.json' is malformed"), std::string::npos) << captured.err;
  EXPECT_FALSE(fileExists(options.outputFolder + "/report.json"));
  options.choiceModel = dir.file("missing.json");
  advise(2);
  EXPECT_NE(captured.err.find("cannot read the choice model"), std::string::npos);
  // Agreement needs no model; with a reference no estimator is used.
  options.estimator = "agreement";
  EXPECT_EQ(advise(0)["estimator"]["name"], "agreement");
  options.estimator = "";
  options.reference = kExamples + "BB11001.msf";
  options.force = true;
  EXPECT_EQ(advise(0)["estimator"]["name"], "reference");
}

TEST_F(AdvisorTest, MissingAlignerIsReportedAndTheRestGoOn) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {{"kalign2", ""}}));
  options.tools = dir.file("tools");
  options.merge = false;
  options.aligners = {2, 4};
  const json report = advise(0);
  EXPECT_EQ(byAligner(report, "KALIGN")["status"], "missing bin/kalign2");
  EXPECT_TRUE(byAligner(report, "KALIGN")["rank"].is_null());
  EXPECT_EQ(byAligner(report, "MUSCLE")["status"], "done");
}

TEST_F(AdvisorTest, HangingAlignerTimesOut) {
  options.budgetSeconds = 0;  // every candidate runs
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {{"mafft", "sleep 30\n"}}));
  options.tools = dir.file("tools");
  options.aligners = {2, 3};
  options.timeoutSeconds = 1;
  options.merge = false;
  const json report = advise(0);
  int timedOut = 0;
  for (const json& c : report["candidates"]) {
    if (c["aligner"] == "MAFFT") {
      EXPECT_EQ(c["status"], "timed out");
      ++timedOut;
    }
  }
  EXPECT_EQ(timedOut, 4);
  EXPECT_EQ(byAligner(report, "KALIGN")["rank"], 1);
}

// Families of constant cost: MAFFT's and Kalign's 0.1 s, DIALIGN-TX's and
// the merge's 100 s.
// A cost model of constant times: each family's seconds, whatever the size.
std::string constantCostModel(const std::vector<std::pair<std::string, double>>& seconds) {
  std::string families;
  for (const auto& [family, s] : seconds)
    families += std::string(families.empty() ? "" : ",") + "{\"family\": \"" + family +
                "\", \"startSeconds\": " + std::to_string(s) +
                ", \"logA\": -50, \"b\": 0, \"c\": 0, \"runs\": 1, \"dataSets\": 1, "
                "\"sequences\": [4, 9], \"large\": null, \"meanQ\": 0.7, "
                "\"heldOutError\": {\"median\": 1, \"p90\": 1}}";
  return "{\"floorSeconds\": 0.05, \"families\": [" + families + "]}";
}

std::string flatCostModel(bool slowDialign = true) {
  return constantCostModel({{"kalign", 0.1},
                            {"mafft-progressive", 0.1},
                            {"mafft-iterative", 0.1},
                            {"mafft-consistency", 0.1},
                            {"dialigntx", slowDialign ? 100 : 0.1},
                            {"merge", 100}});
}

// Within the budget: what does not fit is left out with its expected time,
// the merge too, and a run past the budget is stopped. MAFFT --auto, the
// first pick, fails at once here: a failure says nothing of the machine's
// speed, so the deadline stays where the budget puts it.
TEST_F(AdvisorTest, BudgetLeavesOutWhatDoesNotFitAndStopsARunPastIt) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"),
                              {{"mafft", "case \"$*\" in *--auto*) exit 1;; esac\nsleep 30\n"}}));
  options.tools = dir.file("tools");
  writeFile(dir.file("cost.json"), flatCostModel());
  options.costModel = dir.file("cost.json");
  options.aligners = {1, 2, 3};
  options.budgetSeconds = 1;
  options.merge = true;
  const json report = advise(0);
  const json& budget = report["budget"];
  EXPECT_EQ(budget["seconds"], 1.0);
  EXPECT_EQ(budget["byDefault"], false);
  ASSERT_EQ(budget["leftOut"].size(), 1u) << budget.dump();
  EXPECT_EQ(budget["leftOut"][0]["aligner"], "DIALIGNTX");
  EXPECT_NE(budget["leftOut"][0]["why"].get<std::string>().find("over the budget of 1.0 s"),
            std::string::npos);
  EXPECT_EQ(budget["merge"]["planned"], false);
  EXPECT_NE(budget["merge"]["why"].get<std::string>().find("expected 1 min 40 s"),
            std::string::npos);
  EXPECT_TRUE(byAligner(report, "DIALIGNTX")["seconds"].is_null());
  int stopped = 0;
  for (const json& c : report["candidates"]) {
    if (c["aligner"] != "MAFFT") continue;
    if (c["options"] == "--auto") {
      EXPECT_TRUE(c["status"].get<std::string>().rfind("failed", 0) == 0) << c["status"];
      continue;
    }
    stopped += c["status"] == "stopped at the time budget";
    EXPECT_TRUE(c["status"] == "stopped at the time budget" ||
                c["status"] == "not run: time budget spent")
        << c["status"];
  }
  EXPECT_GE(stopped, 1);
  EXPECT_EQ(byAligner(report, "KALIGN")["rank"], 1);
  EXPECT_EQ(report["budget"]["firstPick"]["id"], 1);
  EXPECT_EQ(report["budget"]["firstPick"]["slowdown"], 1.0);
  EXPECT_EQ(report["budget"]["deadlineSeconds"], 11.0);
  // The choice says what it was made without: the MAFFT runs but --auto.
  EXPECT_EQ(report["choice"]["madeWithout"].size(), 3u) << report["choice"].dump();
  EXPECT_NE(captured.err.find("the choice was made without #"), std::string::npos);
  EXPECT_NEAR(byAligner(report, "KALIGN")["expectedSeconds"].get<double>(), 0.1, 1e-6);

  // A cost model that cannot be read stops the advice before any run.
  writeFile(dir.file("cost.json"), "{\"floorSeconds\": 0.05}");
  options.force = true;
  advise(2);
  EXPECT_NE(captured.err.find("cost.json' is malformed"), std::string::npos) << captured.err;
}

// Before running, the gain model's expected improvement over MAFFT --auto
// is what the budget weighs: with room for one run, the one predicted to
// gain runs, and the other is left out with its prediction. A gain model
// that cannot be read stops the advice before any run.
TEST_F(AdvisorTest, TheBudgetWeighsEachCandidatesPredictedGain) {
  writeFile(dir.file("cost.json"), flatCostModel(false));
  options.costModel = dir.file("cost.json");
  options.gainModel = dir.file("gain.json");
  options.aligners = {1, 2};
  options.jobs = 1;
  options.budgetSeconds = 0.15;
  auto gainModel = [](double dialign) {
    json entries = json::array();
    for (const auto& [aligner, gain] : {std::pair<const char*, double>{"DIALIGNTX", dialign},
                                        std::pair<const char*, double>{"KALIGN", 0}})
      entries.push_back({{"aligner", aligner}, {"options", ""}, {"intercept", gain},
                         {"weight", {0, 0, 0}}, {"error", 0.01}, {"dataSets", 5}});
    return json({{"form", "mean"}, {"descriptors", {"logSequences", "logLength", "lengthSpread"}},
                 {"center", {0, 0, 0}}, {"scale", {1, 1, 1}}, {"low", {0, 0, 0}},
                 {"high", {12, 10, 5}}, {"configurations", entries},
                 {"crossValidation", {{"dataSets", 5}, {"folds", 5}, {"zeroError", 0.02},
                                      {"meanError", 0.01}, {"linearError", 0.01}}}})
        .dump();
  };
  writeFile(options.gainModel, gainModel(0.05));
  json report = advise(0);
  EXPECT_FALSE(byAligner(report, "DIALIGNTX")["seconds"].is_null()) << report["budget"].dump();
  EXPECT_EQ(byAligner(report, "DIALIGNTX")["beforeRunning"]["known"], true);
  EXPECT_NEAR(byAligner(report, "DIALIGNTX")["beforeRunning"]["predictedGainOverMafftAuto"]
                  .get<double>(), 0.05, 1e-12);
  const std::string why = byAligner(report, "KALIGN")["status"];
  EXPECT_EQ(why.rfind("left out (", 0), 0u) << why;
  EXPECT_NE(why.find("predicted Q over MAFFT --auto's +0.000 +- 0.010"), std::string::npos) << why;
  EXPECT_EQ(report["tables"]["gainModel"], options.gainModel);

  writeFile(options.gainModel, gainModel(-0.05));
  options.force = true;
  report = advise(0);
  EXPECT_FALSE(byAligner(report, "KALIGN")["seconds"].is_null());
  EXPECT_TRUE(byAligner(report, "DIALIGNTX")["seconds"].is_null());

  writeFile(options.gainModel, "{\"form\": \"mean\"}");
  advise(2);
  EXPECT_NE(captured.err.find("gain.json' is malformed"), std::string::npos) << captured.err;
}

// One at a time, the runs end in the order they start: MAFFT --auto, the
// first pick, first; then with a budget the shortest expected first (a run
// the model underrates then stops only longer ones), without one the
// longest first.
TEST_F(AdvisorTest, RunOrderIsFirstPickThenByExpectedTime) {
  writeFile(dir.file("cost.json"),
            constantCostModel({{"kalign", 0.1}, {"mafft-progressive", 0.2},
                               {"mafft-iterative", 0.3}, {"mafft-consistency", 0.4},
                               {"merge", 100}}));
  options.costModel = dir.file("cost.json");
  options.aligners = {2, 3};
  options.jobs = 1;
  options.quiet = false;
  for (double budget : {100.0, 0.0}) {
    options.budgetSeconds = budget;
    options.outputFolder = dir.file(budget > 0 ? "budgeted" : "unbudgeted");
    advise(0);
    std::vector<std::string> names;
    std::vector<double> expected;
    std::istringstream lines(captured.err);
    for (std::string line; std::getline(lines, line);) {
      const size_t at = line.find(" (expected ");
      if (line.rfind("[", 0) != 0 || at == std::string::npos) continue;
      names.push_back(line.substr(line.find("] ") + 2, line.find(": ") - line.find("] ") - 2));
      expected.push_back(std::stod(line.substr(at + 11)));
    }
    ASSERT_GE(names.size(), 4u) << captured.err;
    EXPECT_EQ(names[0], "MAFFT --auto") << captured.err;
    for (size_t k = 2; k < expected.size(); ++k)
      EXPECT_TRUE(budget > 0 ? expected[k - 1] <= expected[k] : expected[k - 1] >= expected[k])
          << budget << "\n" << captured.err;
    EXPECT_NE(expected[1], expected.back()) << captured.err;
  }
}

// A machine six times slower than the cost model (here: MAFFT --auto and
// G-INS-i held back by a wrapper around the real MAFFT): --auto, the first
// pick, runs to its end, its slowdown stretches the hard deadline, and
// G-INS-i, which the budget alone would stop at 11 s, is in the choice.
TEST_F(AdvisorTest, AFirstPickSlowerThanExpectedStretchesTheDeadline) {
  ASSERT_TRUE(makeToolsFolder(
      dir.file("tools"),
      {{"mafft", "case \"$*\" in *--auto*) sleep 3;; *--globalpair*) sleep 12;; esac\nexec " +
                     realToolsFolder() + "/bin/mafft \"$@\"\n"}}));
  options.tools = dir.file("tools");
  writeFile(dir.file("cost.json"), flatCostModel());
  options.costModel = dir.file("cost.json");
  options.aligners = {2, 3};
  options.budgetSeconds = 1;
  const json report = advise(0);
  for (const json& c : report["candidates"]) EXPECT_EQ(c["status"], "done") << c.dump();
  const json& first = report["budget"]["firstPick"];
  EXPECT_EQ(first["id"], 1);
  EXPECT_EQ(report["candidates"][0]["options"], "--auto");
  EXPECT_GE(first["slowdown"].get<double>(), 25) << first.dump();  // 3 s for 0.1 s
  EXPECT_GE(report["budget"]["deadlineSeconds"].get<double>(), 250);
  EXPECT_NE(first["note"].get<std::string>().find("MAFFT --auto took"), std::string::npos);
  EXPECT_TRUE(report["choice"]["madeWithout"].empty());
}

// A cost model six times too optimistic, without MAFFT and on one core:
// every run takes 0.6 s where 0.1 s is expected, and the budget has room
// for one. The first pick still runs to its end, and the advice ends with
// a best alignment, never in "every run failed".
TEST_F(AdvisorTest, ACostModelSixTimesTooOptimisticStillLeavesABestAlignment) {
  const std::string real = realToolsFolder() + "/bin/";
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"),
                              {{"kalign2", "sleep 0.6\nexec " + real + "kalign2 \"$@\"\n"},
                               {"muscle3.8", "sleep 0.6\nexec " + real + "muscle3.8 \"$@\"\n"}}));
  options.tools = dir.file("tools");
  writeFile(dir.file("cost.json"), flatCostModel(false));
  options.costModel = dir.file("cost.json");
  options.aligners = {2, 4};
  options.jobs = 1;
  options.budgetSeconds = 0.15;
  const json report = advise(0);
  const int first = report["budget"]["firstPick"]["id"].get<int>();
  ASSERT_GE(first, 1) << report["budget"].dump();
  const json& pick = report["candidates"][first - 1];
  EXPECT_EQ(pick["status"], "done") << pick.dump();
  EXPECT_GE(report["budget"]["firstPick"]["slowdown"].get<double>(), 5) << report["budget"].dump();
  EXPECT_FALSE(report["best"].is_null());
  EXPECT_TRUE(fileExists(options.outputFolder + "/best.fasta"));
  EXPECT_EQ(captured.err.find("every run failed"), std::string::npos) << captured.err;
}

// n records s0, s1, ...: base with one position each changed, record i's
// to the residue (i / block) mod 20.
std::string relatedRecords(int n, const std::string& base, int block) {
  std::string fasta;
  for (int i = 0; i < n; ++i) {
    std::string s = base;
    s[static_cast<size_t>(i) % s.size()] = "ACDEFGHIKLMNPQRSTVWY"[(i / block) % 20];
    fasta += ">s" + std::to_string(i) + "\n" + s + "\n";
  }
  return fasta;
}

// From 20,000 sequences on, what keeps an N x N matrix is left out whatever
// the budget (ClustalW, MUSCLE); one sequence fewer, only the budget
// decides. Kalign, whose memory grows linearly, runs at both sizes.
TEST_F(AdvisorTest, FromTwentyThousandSequencesQuadraticMemoryIsLeftOut) {
  for (int n : {20000, 19999}) {
    writeFile(dir.file("many.fasta"), relatedRecords(n, "MKVLAAGIVGLLLAHSEQWR", 20));
    options.dataSet = dir.file("many.fasta");
    options.outputFolder = dir.file("out" + std::to_string(n));
    options.aligners = {0, 2, 4};
    const json report = advise(0);
    int memory = 0;
    for (const json& c : report["candidates"]) {
      const std::string status = c["status"];
      if (c["aligner"] == "KALIGN") {
        EXPECT_EQ(status, "done") << c.dump();
        continue;
      }
      memory += status.find("its memory grows with the square of the sequences") !=
                std::string::npos;
      EXPECT_EQ(status.rfind("left out (", 0), 0u) << c.dump();
    }
    EXPECT_EQ(memory > 0, n >= 20000) << n;
  }
}

// From 500 sequences on --auto is progressive (FFT-NS-2): it takes every
// core beside other runs, as its alignment cannot change; at 499 (FFT-NS-i,
// iterative) it keeps one. There too the learnt estimator's switch margin
// grows. The consensus estimate ranks only when asked for, with its own
// switch margin.
TEST_F(AdvisorTest, MafftAutoTakesEveryCoreFromItsProgressiveStrategyOn) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"),
                              {{"mafft", "echo \"$*\" >>" + dir.file("mafft.log") + "\nexec " +
                                             realToolsFolder() + "/bin/mafft \"$@\"\n"}}));
  options.tools = dir.file("tools");
  options.aligners = {2, 3};
  options.budgetSeconds = 0;
  for (int n : {500, 499}) {
    writeFile(dir.file("many.fasta"), relatedRecords(n, "MKVLAAGIVGLLLAHSEQWRAKLDEFGHIKLM", 7));
    writeFile(dir.file("mafft.log"), "");
    options.dataSet = dir.file("many.fasta");
    options.outputFolder = dir.file("out" + std::to_string(n));
    const json report = advise(0);
    EXPECT_EQ(report["estimator"]["name"], "learned") << n;
    // Beyond the sizes the learnt model saw, --auto is left only for a
    // predicted gain over 0.05.
    EXPECT_DOUBLE_EQ(report["choice"]["switchMargin"].get<double>(), n >= 500 ? 0.05 : 0) << n;
    const std::string log = readFile(dir.file("mafft.log"));
    int ran = 0;
    for (const json& c : report["candidates"]) ran += c["status"] == "done";
    EXPECT_GE(ran, 2) << n;  // --auto ran beside another run
    const size_t autoLine = log.find("--auto");
    ASSERT_NE(autoLine, std::string::npos) << log;
    const std::string line = log.substr(autoLine, log.find('\n', autoLine) - autoLine);
    EXPECT_EQ(line.find("--thread 2") != std::string::npos, n >= 500) << n << ": " << log;
  }
  options.tools = realToolsFolder();
  options.budgetSeconds = -1;
  options.dataSet = kExamples + "BB11001.tfa";
  options.outputFolder = dir.file("small");
  options.aligners = {2, 3};
  options.estimator = "consensus";
  const json report = advise(0);
  EXPECT_EQ(report["estimator"]["name"], "consensus");
  EXPECT_TRUE(report["estimator"]["model"].is_null());
  EXPECT_DOUBLE_EQ(report["choice"]["switchMargin"].get<double>(), 0.02);
  for (const json& c : report["candidates"]) {
    if (c["status"] == "done") {
      EXPECT_TRUE(c["predictedQ"].is_number()) << c.dump();
    }
  }
}

// Above the merge's 80 sequences no merge is tried, and the report says so.
TEST_F(AdvisorTest, NoMergeAboveItsSequenceLimit) {
  std::string fasta;
  const std::string base = "MKVLAAGIVGLLLAHSEQWRAKLDEFGHIKLMNPQRSTVWY";
  for (int i = 0; i < 81; ++i) {
    std::string s = base;
    s[static_cast<size_t>(i) % s.size()] = "ACDEFGHIKLMNPQRSTVWY"[i % 20];
    s[static_cast<size_t>(i * 7) % s.size()] = "ACDEFGHIKLMNPQRSTVWY"[(i / 20) % 20];
    fasta += ">s" + std::to_string(i) + "\n" + s + "\n";
  }
  writeFile(dir.file("many.fasta"), fasta);
  options.dataSet = dir.file("many.fasta");
  options.aligners = {2, 3};
  options.budgetSeconds = 0;
  options.merge = true;
  const json report = advise(0);
  EXPECT_EQ(report["budget"]["merge"]["planned"], false);
  EXPECT_EQ(report["budget"]["merge"]["why"], "more than 80 sequences, the merge's limit");
  for (const json& c : report["candidates"]) EXPECT_NE(c["aligner"], "MERGE");
}

TEST_F(AdvisorTest, EveryRunFailingLeavesNoBestAlignment) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"),
                              {{"kalign2", "exit 1\n"}, {"muscle3.8", "echo '>s1' > \"$4\"\n"}}));
  options.tools = dir.file("tools");
  options.aligners = {2, 4};
  const json report = advise(1);
  EXPECT_TRUE(report["best"].is_null());
  EXPECT_NE(byAligner(report, "KALIGN")["status"].get<std::string>().find("no alignment written"),
            std::string::npos);
  EXPECT_NE(byAligner(report, "MUSCLE")["status"].get<std::string>().find("invalid alignment"),
            std::string::npos);
  EXPECT_FALSE(fileExists(options.outputFolder + "/best.fasta"));
  EXPECT_NE(captured.err.find("every run failed"), std::string::npos);
}

}  // namespace
