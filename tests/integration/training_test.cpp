// The training with the real aligners: every value of the shipped option
// space accepted by its program, a small training whose table and front the
// advisor then uses, and a data set that every aligner fails on.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "advice/choice_model.h"
#include "advice/cost_model.h"
#include "alnadvise/advisor.h"
#include "alntrain/trainer.h"
#include "getChar.h"
#include "runs/aligner_names.h"
#include "runs/run_folder.h"
#include "test_support.h"
#include "tools_folder.h"
#include "training/benchmark_set.h"
#include "training/evaluation.h"
#include "training/genome.h"
#include "training/option_space.h"

using namespace testing_support;

namespace alntrain {
namespace {

const std::string kKalign = "/usr/share/doc/kalign/examples/";

void addSet(const std::string& folder, const std::string& name, const std::string& from) {
  writeFile(folder + "/" + name + ".fasta", readFile(from + ".tfa"));
  writeFile(folder + "/" + name + ".msf", readFile(from + ".msf"));
}

class TrainingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (realToolsFolder().empty()) FAIL() << "GETCHAR_TOOLS_DIR is not set";
    bench = dir.file("bench");
    ::mkdir(bench.c_str(), 0755);
    options.benchmark = bench;
    options.outputFolder = dir.file("out");
    options.tools = realToolsFolder();
    options.jobs = 2;
    options.quiet = true;
    options.population = 6;
    options.generations = 1;
  }
  int train() {
    int status = -1;
    captured = capture([&] { status = runTrainer(options); });
    return status;
  }
  // The advisor with the table and front just learnt, without the merge.
  alnadvise::AdviseOptions adviceOptions(const std::string& dataSet) const {
    alnadvise::AdviseOptions advise;
    advise.dataSet = dataSet;
    advise.outputFolder = dir.file("advice");
    advise.table = options.outputFolder + "/reference-table.txt";
    advise.front = options.outputFolder + "/front.txt";
    advise.tools = realToolsFolder();
    advise.jobs = 2;
    advise.merge = false;
    advise.quiet = true;
    return advise;
  }
  // Its report.json (null after a failure, which the test is told of).
  static nlohmann::json advise(const alnadvise::AdviseOptions& advise) {
    int status = -1;
    const Captured advice = capture([&] { status = alnadvise::runAdvisor(advise); });
    EXPECT_EQ(status, 0) << advice.err;
    if (status != 0) return nlohmann::json();
    return nlohmann::json::parse(readFile(advise.outputFolder + "/report.json"));
  }
  TempDir dir;
  std::string bench;
  TrainOptions options;
  Captured captured;
};

// One run per value of every gene (the others at their defaults), and one
// run per aligner with every gene at its last value: an option the program
// rejects leaves no valid alignment, a defect of the space.
TEST_F(TrainingTest, EveryOptionOfTheSpaceIsAcceptedByItsProgram) {
  training::OptionSpace space;
  std::string error;
  ASSERT_TRUE(
      training::loadOptionSpace(GETCHAR_SOURCE_DATA_DIR "/option-space.json", &space, &error));
  addSet(bench, "BB11001", kKalign + "BB11001");
  std::vector<training::BenchmarkSet> sets;
  std::vector<std::string> warnings;
  ASSERT_TRUE(training::readBenchmark(bench, &sets, &warnings, &error)) << error;
  runs::RunFolder runFolder;
  ASSERT_TRUE(runFolder.create(&error)) << error;
  ASSERT_TRUE(training::prepareRunCopies(&sets, runFolder.path(), &error)) << error;
  training::RunCache cache;
  ASSERT_TRUE(cache.open(dir.file("runs.tsv"), false, &warnings, &error)) << error;
  training::RunSettings settings;
  settings.toolsFolder = realToolsFolder();
  settings.jobs = 2;
  settings.timeoutSeconds = 120;
  training::Evaluator evaluator(sets, cache, settings);

  std::vector<training::RunRequest> requests;
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    training::Genome all = training::defaultGenome(space, kind);
    for (size_t g = 0; g < space.genes(kind).size(); ++g) {
      const training::Gene& gene = space.genes(kind)[g];
      const size_t at = static_cast<size_t>(space.offset(kind)) + g;
      for (int a = 0; a < gene.alleles(); ++a) {
        if (a == gene.defaultAllele) continue;
        training::Genome one = training::defaultGenome(space, kind);
        one.alleles[at] = a;
        requests.push_back({0, training::configurationOf(space, one)});
      }
      all.alleles[at] = gene.alleles() - 1 == gene.defaultAllele ? 0 : gene.alleles() - 1;
    }
    requests.push_back({0, training::configurationOf(space, all)});
  }
  ASSERT_EQ(evaluator.ensure(requests, false, &error), training::EnsureStatus::kDone) << error;
  EXPECT_EQ(evaluator.stats().runsMade, static_cast<long>(requests.size()));
  for (const training::RunRequest& r : requests) {
    const training::RunRecord* run = cache.find(sets[0].hash, r.configuration);
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(run->valid()) << r.configuration.label() << ": " << run->status;
  }
}

TEST_F(TrainingTest, TrainsOnTwoSetsAndTheAdvisorUsesWhatItLearnt) {
  addSet(bench, "BB11001", kKalign + "BB11001");
  addSet(bench, "BB12006", kKalign + "BB12006");
  options.budget = 50;
  ASSERT_EQ(train(), kTrained) << captured.err;
  for (const char* f : {"runs.tsv", "front.txt", "reference-table.txt", "search.tsv", "front.svg",
                        "front.png", "report.txt"})
    EXPECT_TRUE(fileExists(options.outputFolder + "/" + f)) << f;
  const std::string runs = readFile(options.outputFolder + "/runs.tsv");
  EXPECT_LE(std::count(runs.begin(), runs.end(), '\n'), 1 + 50);
  const std::string table = readFile(options.outputFolder + "/reference-table.txt");
  EXPECT_EQ(table.rfind("BB11001;", 0), 0u) << table;
  EXPECT_NE(table.find("\nBB12006;"), std::string::npos) << table;

  // Every valid run is timed, and the cost model fitted on them counts them.
  const std::string timings = readFile(options.outputFolder + "/timings.tsv");
  size_t done = 0;
  for (size_t at = 0; (at = runs.find("\tdone\n", at)) != std::string::npos; ++at) ++done;
  EXPECT_EQ(static_cast<size_t>(std::count(timings.begin(), timings.end(), '\n')), 1 + done);
  advice::CostModel costs;
  std::string error;
  ASSERT_TRUE(advice::readCostModel(options.outputFolder + "/cost-model.json", &costs, &error))
      << error;
  int timed = 0;
  for (const advice::CostFamily& f : costs.families) timed += f.runs;
  EXPECT_EQ(static_cast<size_t>(timed), done);

  alnadvise::AdviseOptions setup = adviceOptions("/usr/share/dialign-tx/BB11002.tfa");
  setup.reference = "/usr/share/dialign-tx/BB11002.msf";
  setup.costModel = options.outputFolder + "/cost-model.json";
  const nlohmann::json report = advise(setup);
  EXPECT_EQ(report["budget"]["costModel"], setup.costModel);
  EXPECT_FALSE(report["nearestReferences"].empty());
  std::string reasons;
  for (const auto& c : report["candidates"])
    for (const auto& r : c["reasons"]) reasons += r.get<std::string>() + "|";
  EXPECT_NE(reasons.find("nearest reference BB1"), std::string::npos) << reasons;
  EXPECT_NE(reasons.find("front: most accurate"), std::string::npos) << reasons;
}

// A listed set of configurations cross-validated on four real sets: every
// held-out choice is one of its own candidates, the model comes out with
// the cross-validation's figures, and the advisor ranks by it.
TEST_F(TrainingTest, CrossValidatesTheChoiceAndTheAdvisorReadsTheModel) {
  addSet(bench, "BB11001", kKalign + "BB11001");
  addSet(bench, "BB12006", kKalign + "BB12006");
  addSet(bench, "BB11002", "/usr/share/dialign-tx/BB11002");
  writeFile(bench + "/BBS12030.fasta", readFile("/usr/share/doc/fsa/examples/RV12.BBS12030.fasta"));
  writeFile(bench + "/BBS12030.ref.fasta",
            readFile("/usr/share/doc/fsa/examples/RV12.BBS12030.reference.mfa"));
  writeFile(dir.file("list.txt"),
            "CLUSTALW\t\nDIALIGNTX\t\nKALIGN\t\nMAFFT\t\nMUSCLE\t\nMAFFT\t--auto\n"
            "MAFFT\t--op 2.5\nKALIGN\t-gpe 0.5 -tgpe 2\n");
  options.configurations = dir.file("list.txt");
  options.folds = 2;
  ASSERT_EQ(train(), kTrained) << captured.err;
  const std::string model = options.outputFolder + "/choice-model.json";
  advice::ChoiceModel m;
  std::string error;
  ASSERT_TRUE(advice::readChoiceModel(model, &m, &error)) << error;
  EXPECT_EQ(m.folds, 2);
  EXPECT_EQ(m.crossValidatedSets, 4);
  EXPECT_EQ(m.dataSets, 4);
  EXPECT_GE(m.candidates, 4 * 8);  // the listed ones at least, and the consistency strategies
  const std::string report = readFile(options.outputFolder + "/report.txt");
  EXPECT_NE(
      report.find(std::string("Default estimator: ") + advice::estimatorName(m.defaultEstimator)),
      std::string::npos)
      << report;

  // Per held-out set: both choices are among its candidates, MAFFT --auto
  // is reported beside them.
  const std::string tsv = readFile(options.outputFolder + "/cross-validation.tsv");
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = tsv.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(tsv.substr(at, end - at));
  ASSERT_EQ(lines.size(), 5u) << tsv;
  auto cells = [](const std::string& line) {
    std::vector<std::string> out;
    for (size_t at = 0;;) {
      const size_t tab = line.find('\t', at);
      out.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
      if (tab == std::string::npos) return out;
      at = tab + 1;
    }
  };
  const std::vector<std::string> header = cells(lines[0]);
  auto column = [&](const char* name) {
    return static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
  };
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> row = cells(lines[i]);
    ASSERT_EQ(row.size(), header.size()) << lines[i];
    const double best = std::stod(row[column("candidates_oracle_Q")]);
    EXPECT_LE(std::stod(row[column("learnt_Q")]), best) << lines[i];
    EXPECT_LE(std::stod(row[column("agreement_Q")]), best) << lines[i];
    EXPECT_GT(std::stod(row[column("auto_Q")]), 0.3) << lines[i];
  }

  alnadvise::AdviseOptions setup = adviceOptions(kKalign + "BB30014.tfa");
  setup.choiceModel = model;
  setup.estimator = "learned";
  setup.aligners = {2, 3};
  setup.budgetSeconds = 0;  // every candidate runs and is predicted
  const nlohmann::json json = advise(setup);
  EXPECT_EQ(json["estimator"]["name"], "learned");
  EXPECT_EQ(json["estimator"]["crossValidation"]["dataSets"], 4);
  for (const auto& c : json["candidates"]) EXPECT_TRUE(c["predictedQ"].is_number()) << c.dump();
}

TEST_F(TrainingTest, ADataSetEveryAlignerFailsOnIsLeftOutAndKeptInTheRuns) {
  // Each aligner fails on an input holding the marker, and runs for real
  // otherwise.
  std::map<std::string, std::string> failing;
  for (const char* program : {"clustalw2", "dialign-tx", "kalign2", "mafft", "muscle3.8"}) {
    failing[program] =
        "for a in \"$@\"; do f=${a#-infile=}\n"
        "  if [ -f \"$f\" ] && grep -q WWWWWWWWWWWWWWWWWWWW \"$f\"; then exit 1; fi\ndone\n"
        "exec '" +
        realToolsFolder() + "/bin/" + program + "' \"$@\"\n";
  }
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), failing));
  options.tools = dir.file("tools");
  addSet(bench, "BB11001", kKalign + "BB11001");
  writeFile(bench + "/hopeless.fasta",
            ">a\nMKVLAWWWWWWWWWWWWWWWWWWWWKLA\n>b\nMKILAWWWWWWWWWWWWWWWWWWWWKLA\n");
  writeFile(bench + "/hopeless.ref.fasta",
            ">a\nMKVLAWWWWWWWWWWWWWWWWWWWWKLA\n>b\nMKILAWWWWWWWWWWWWWWWWWWWWKLA\n");
  ASSERT_EQ(train(), kTrained) << captured.err;
  EXPECT_NE(captured.err.find("every default configuration failed on 'hopeless'"),
            std::string::npos)
      << captured.err;
  const std::string runs = readFile(options.outputFolder + "/runs.tsv");
  size_t failures = 0;
  for (size_t at = runs.find("\thopeless\t"); at != std::string::npos;
       at = runs.find("\thopeless\t", at + 1))
    ++failures;
  EXPECT_EQ(failures, 5u);
  EXPECT_EQ(readFile(options.outputFolder + "/reference-table.txt").find("hopeless"),
            std::string::npos);

  // Nothing left to train on: a clear failure, the runs kept.
  ::unlink((bench + "/BB11001.fasta").c_str());
  options.resume = true;
  ASSERT_EQ(train(), kTrainingFailed);
  EXPECT_NE(captured.err.find("every default configuration failed on every data set"),
            std::string::npos)
      << captured.err;
  EXPECT_EQ(readFile(options.outputFolder + "/runs.tsv").substr(0, runs.size()), runs);
}

}  // namespace
}  // namespace alntrain
