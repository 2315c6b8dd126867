#include "trainer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "front_plot.h"
#include "getChar.h"
#include "learned_files.h"
#include "runs/aligner_names.h"
#include "runs/file_output.h"
#include "runs/job_pool.h"
#include "runs/run_folder.h"
#include "runs/signal_guard.h"
#include "runs/tool_locations.h"
#include "training/benchmark_set.h"
#include "training/configuration_list.h"
#include "training/cost_fit.h"
#include "training/confidence_fit.h"
#include "training/cross_validation.h"
#include "training/effort_validation.h"
#include "training/evaluation.h"
#include "training/gain_fit.h"
#include "training/option_space.h"
#include "training/run_cache.h"
#include "training/search.h"
#include "training_report.h"

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif
#include "runs/text_format.h"

namespace alntrain {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using runs::secondsSince;

int fail(const std::string& message, int status) {
  std::cerr << "alntrain: " << message << std::endl;
  return status;
}

using runs::fixed;

std::string duration(double seconds) {
  if (seconds < 90) return fixed(seconds, 0) + " s";
  if (seconds < 5400) return fixed(seconds / 60, 0) + " min";
  return fixed(seconds / 3600, 1) + " h";
}

class Trainer {
 public:
  explicit Trainer(const TrainOptions& options) : options_(options) {}
  int run();

 private:
  int checkInputs();
  int prepareOutput();
  int prepareRuns();
  int dropHopelessSets();
  // --configurations: makes every listed run; the sets with a valid one
  // are the active ones.
  int runList();
  // Runs every configuration on every data set; the sets with a valid run
  // become the active ones ("every <which> configuration failed" for the
  // rest). With --runs-only, stops after the runs.
  int runOnEverySet(const std::vector<runs::Configuration>& configurations,
                    const std::string& which, const std::string& intro);
  // A search over the sets; false when interrupted or failed.
  // The objectives of one configuration from its runs on the sets: a set
  // without a valid run counts as a failure, Q and TC 0, and the timeout.
  training::Fitness fitnessOn(const std::vector<size_t>& sets, const runs::Configuration& c) const;
  // One progress line of the search running now.
  void reportProgress(const training::SearchProgress& p);
  bool search(const std::vector<size_t>& sets, const std::string& label,
              training::SearchResult* result);
  // Writes the search's table and front (and, for the main search, its
  // pictures and search.tsv) into folder.
  bool writeCostModel();
  // The gain model over every data set, and in *perFold one fitted without
  // each fold's held-out sets (with the all-set model's form and errors).
  advice::GainModel fitGains(const std::vector<training::HeldOut>& heldOut,
                             std::vector<advice::GainModel>* perFold) const;
  bool writeLearned(const std::vector<size_t>& sets, const training::SearchResult& result,
                    const std::string& folder, bool main, std::string* error);
  // Cross-validates the choice and fits the choice and gain models on the
  // held-out record; -1 to go on (*ok false when a file could not be
  // written), else the exit status.
  int crossValidateModels(bool* ok);
  // The efforts judged on the held-out sets with the shipped cost model,
  // and the column confidence calibrated on the default effort's runs, as
  // report text (or why neither was).
  std::string judgeEfforts(const std::vector<training::HeldOut>& heldOut,
                           const std::vector<advice::GainModel>& gainPerFold,
                           training::LearntChoice* learnt,
                           advice::ConfidenceCalibration* calibration) const;
  void announce() const;
  // The settings line of report.txt.
  std::string settingsLine() const;
  bool writeReport();
  int stopped();
  void say(const std::string& line) const {
    if (!options_.quiet) std::cerr << "alntrain: " << line << std::endl;
  }

  const TrainOptions& options_;
  training::OptionSpace space_;
  std::string spacePath_, tools_, output_;
  std::vector<training::BenchmarkSet> sets_;
  std::vector<advice::TimedRun> extraTimings_;  // --timings
  std::vector<size_t> active_;
  std::vector<runs::Configuration> list_;  // --configurations
  training::RunCache cache_;
  runs::RunFolder runFolder_;
  int log_ = -1;
  std::unique_ptr<training::Evaluator> evaluator_;
  Clock::time_point start_ = Clock::now();
  size_t reusedAtStart_ = 0;
  std::string error_;  // a failure to write, when a step returns false
  TrainingSummary summary_;
  // Progress of the search running now.
  std::string label_;
  Clock::time_point searchStart_, lastLine_;
  long madeInSearch_ = 0;
};

int Trainer::checkInputs() {
  std::string error;
  spacePath_ = runs::findDataFile(options_.space, "option-space.json");
  if (!training::loadOptionSpace(spacePath_, &space_, &error)) return fail(error, kBadUsage);
  tools_ = runs::findToolsFolder(options_.tools);
  if (!runs::looksLikeToolsFolder(tools_))
    return fail("no aligners in '" + tools_ +
                    "' (bin/ and lib/ missing); lay them out with scripts/install-aligners",
                kBadUsage);
  if (!runs::hasProgram(tools_, "bin/qscore"))
    return fail("no scorer bin/qscore in '" + tools_ + "'", kBadUsage);
  for (int kind : options_.aligners) {
    const char* program = runs::alignerProgram(kind);
    if (!runs::hasProgram(tools_, program))
      return fail("no " + std::string(program) + " in '" + tools_ + "' (leave " +
                      runs::alignerName(kind) + " out with --aligners)",
                  kBadUsage);
  }
  if (!options_.configurations.empty()) {
    if (!training::readConfigurationList(options_.configurations, &list_, &error))
      return fail(error, kBadUsage);
    for (const runs::Configuration& c : list_) {
      if (std::find(options_.aligners.begin(), options_.aligners.end(), c.kind) ==
          options_.aligners.end())
        return fail("'" + options_.configurations + "' lists " + c.label() +
                        ", which --aligners leaves out",
                    kBadUsage);
    }
  } else if (options_.population < static_cast<int>(options_.aligners.size()))
    return fail("--population " + std::to_string(options_.population) + " cannot hold the " +
                    std::to_string(options_.aligners.size()) + " default configurations",
                kBadUsage);
  std::vector<std::string> warnings;
  for (const std::string& path : options_.timings)
    if (!training::readTimings(path, &extraTimings_, &error)) return fail(error, kBadUsage);
  if (!training::readBenchmark(options_.benchmark, &sets_, &warnings, &error))
    return fail(error, kBadUsage);
  for (const std::string& w : warnings) std::cerr << "alntrain: warning: " << w << std::endl;
  if (options_.folds != 0 &&
      (options_.folds < 2 || options_.folds > static_cast<int>(sets_.size())))
    return fail("--folds must be between 2 and the number of data sets (" +
                    std::to_string(sets_.size()) + ")",
                kBadUsage);
  return -1;
}

int Trainer::prepareOutput() {
  output_ = options_.outputFolder.empty() ? defaultTrainingFolder(options_.benchmark)
                                          : options_.outputFolder;
  std::error_code ec;
  fs::create_directories(output_, ec);
  if (ec || !fs::is_directory(output_))
    return fail("cannot create the output folder '" + output_ + "'" +
                    (ec ? ": " + ec.message() : std::string()),
                kBadUsage);
  const std::string runs = output_ + "/runs.tsv";
  const bool earlier = fs::exists(runs) && fs::file_size(runs, ec) > 0;
  if (earlier && !options_.resume) {
    if (!options_.force)
      return fail("'" + runs +
                      "' holds the runs of an earlier training: continue it with --resume, or "
                      "start over with --force (the old file is kept as runs.tsv.old)",
                  kBadUsage);
    fs::rename(runs, runs + ".old", ec);
    if (!ec) fs::remove_all(output_ + "/alignments", ec);
    if (ec) return fail("cannot move '" + runs + "' aside: " + ec.message(), kBadUsage);
  }
  std::vector<std::string> warnings;
  std::string error;
  if (!cache_.open(runs, options_.resume, &warnings, &error)) return fail(error, kBadUsage);
  for (const std::string& w : warnings) std::cerr << "alntrain: warning: " << w << std::endl;
  reusedAtStart_ = cache_.size();
  if (options_.resume) say("resuming: " + std::to_string(cache_.size()) + " runs in " + runs);
  const std::string logPath = output_ + "/alntrain.log";
  log_ = ::open(logPath.c_str(),
                O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (options_.resume ? 0 : O_TRUNC), 0644);
  if (log_ < 0) return fail("cannot write '" + logPath + "'", kBadUsage);
  return -1;
}

int Trainer::prepareRuns() {
  std::string error;
  if (!runFolder_.create(&error) || !training::prepareRunCopies(&sets_, runFolder_.path(), &error))
    return fail(error, kTrainingFailed);
  training::RunSettings settings;
  settings.toolsFolder = tools_;
  settings.alignmentFolder = output_ + "/alignments";
  settings.jobs = options_.jobs;
  settings.timeoutSeconds = options_.timeoutSeconds;
  settings.logFd = log_;
  evaluator_.reset(new training::Evaluator(sets_, cache_, settings));
  evaluator_->onRun = [this](const training::RunRecord& r) {
    ++madeInSearch_;
    if (options_.quiet || secondsSince(lastLine_) < 30) return;
    lastLine_ = Clock::now();
    std::cerr << "alntrain: " << label_ << evaluator_->stats().runsMade
              << " runs made; last: " << r.configuration.label() << " on " << r.dataSet << ": "
              << r.status << " in " << fixed(r.seconds, 1) << " s" << std::endl;
  };
  return -1;
}

int Trainer::dropHopelessSets() {
  std::vector<runs::Configuration> defaults;
  for (int kind : options_.aligners) defaults.push_back(runs::makeConfiguration(kind, ""));
  return runOnEverySet(defaults, "default",
                       "aligning " + std::to_string(sets_.size()) +
                           " data sets with the defaults first, " + std::to_string(options_.jobs) +
                           " at a time");
}

int Trainer::runList() {
  return runOnEverySet(list_, "listed",
                       "running " + std::to_string(list_.size()) + " configurations on " +
                           std::to_string(sets_.size()) + " data sets, " +
                           std::to_string(options_.jobs) + " at a time");
}

int Trainer::runOnEverySet(const std::vector<runs::Configuration>& configurations,
                           const std::string& which, const std::string& intro) {
  std::vector<training::RunRequest> requests;
  for (size_t s = 0; s < sets_.size(); ++s)
    for (const runs::Configuration& c : configurations) requests.push_back({s, c});
  say(intro + "; aligners' output in " + output_ + "/alntrain.log");
  label_ = which == "default" ? "defaults: " : which + ": ";
  lastLine_ = searchStart_ = Clock::now();
  const training::EnsureStatus status = evaluator_->ensure(requests, false, &error_);
  if (status == training::EnsureStatus::kInterrupted) return stopped();
  if (status == training::EnsureStatus::kWriteFailed) return fail(error_, kTrainingFailed);
  if (options_.runsOnly) {  // only with --configurations
    if (!writeCostModel()) return kTrainingFailed;
    say(std::to_string(evaluator_->stats().runsMade) + " runs made, " +
        std::to_string(requests.size() - static_cast<size_t>(evaluator_->stats().runsMade)) +
        " found in " + cache_.path());
    return kTrained;
  }
  for (size_t s = 0; s < sets_.size(); ++s) {
    bool any = false;
    for (const runs::Configuration& c : configurations) {
      const training::RunRecord* r = cache_.find(sets_[s].hash, c);
      any = any || (r && r->valid());
    }
    if (any) {
      active_.push_back(s);
    } else {
      std::cerr << "alntrain: warning: every " << which << " configuration failed on '"
                << sets_[s].name << "'; left out of the training (see runs.tsv and alntrain.log)"
                << std::endl;
      summary_.leftOut.push_back(sets_[s].name);
    }
  }
  if (active_.empty())
    return fail("every " + which + " configuration failed on every data set; see " + output_ +
                    "/alntrain.log",
                kTrainingFailed);
  return -1;
}

training::Fitness Trainer::fitnessOn(const std::vector<size_t>& sets,
                                     const runs::Configuration& c) const {
  training::Fitness f;
  for (size_t s : sets) {
    const training::RunRecord* r = cache_.find(sets_[s].hash, c);
    const bool valid = r && r->valid();
    f.objectives[0] += valid ? 1 - r->q : 1;
    f.objectives[1] += valid ? 1 - r->tc : 1;
    f.objectives[2] += r ? r->seconds : options_.timeoutSeconds;
    if (!valid) ++f.failures;
  }
  for (double& o : f.objectives) o /= static_cast<double>(sets.size());
  return f;
}

void Trainer::reportProgress(const training::SearchProgress& p) {
  if (options_.quiet) return;
  lastLine_ = Clock::now();
  // Runs found in runs.tsv take no time: estimate from the runs made.
  const double perRun = madeInSearch_ > 0 ? secondsSince(searchStart_) / madeInSearch_ : 0;
  const double left = perRun * static_cast<double>(p.runsPlanned - p.runsUsed);
  std::string line = label_ + "generation " + std::to_string(p.generation) + "/" +
                     std::to_string(p.generations) + ": " + std::to_string(p.runsUsed) + "/" +
                     std::to_string(p.runsPlanned) + " runs";
  if (p.best)
    line += "; best mean Q " + fixed(1 - p.best->fitness.objectives[0], 3) + " + TC " +
            fixed(1 - p.best->fitness.objectives[1], 3) + " (" + p.best->configuration.label() +
            ")";
  if (p.generation < p.generations && perRun > 0)
    line += "; at most about " + duration(left) + " left";
  say(line);
}

bool Trainer::search(const std::vector<size_t>& sets, const std::string& label,
                     training::SearchResult* result) {
  training::SearchSettings settings;
  settings.population = options_.population;
  settings.generations = options_.generations;
  settings.budget = options_.budget;
  settings.runsPerEvaluation = static_cast<int>(sets.size());
  settings.kinds = options_.aligners;
  settings.seed = options_.seed;
  label_ = label;
  madeInSearch_ = 0;
  lastLine_ = searchStart_ = Clock::now();
  bool failed = false;
  const training::EvaluateFn evaluate = [&](const std::vector<runs::Configuration>& configurations,
                                            std::vector<training::Fitness>* fitness) {
    std::vector<training::RunRequest> requests;
    for (const runs::Configuration& c : configurations)
      for (size_t s : sets) requests.push_back({s, c});
    const training::EnsureStatus status = evaluator_->ensure(requests, false, &error_);
    if (status != training::EnsureStatus::kDone) {
      failed = status == training::EnsureStatus::kWriteFailed;
      return false;
    }
    fitness->clear();
    for (const runs::Configuration& c : configurations) fitness->push_back(fitnessOn(sets, c));
    return true;
  };
  const training::ProgressFn progress = [this](const training::SearchProgress& p) {
    reportProgress(p);
  };
  if (!list_.empty()) {
    // The listed configurations take the place of the search: one
    // generation holding them all.
    *result = training::SearchResult();
    std::vector<training::Fitness> fitness;
    result->interrupted = !evaluate(list_, &fitness);
    for (size_t i = 0; i < list_.size() && !result->interrupted; ++i) {
      training::Individual individual;
      individual.configuration = list_[i];
      individual.fitness = fitness[i];
      result->evaluated.push_back(individual);
      result->population.push_back(i);
    }
    result->runsUsed = static_cast<long>(list_.size() * sets.size());
    result->generationsDone = 0;
  } else {
    *result = training::runSearch(space_, settings, evaluate, progress);
  }
  if (failed) return false;
  return !result->interrupted;
}

// The gain model from the cached runs: on every set where MAFFT --auto ran,
// each configuration's gain over it; configurations run on fewer than half
// of those sets are left out (a search tries most on a few).
advice::GainModel Trainer::fitGains(const std::vector<training::HeldOut>& heldOut,
                                    std::vector<advice::GainModel>* perFold) const {
  const runs::Configuration automatic = runs::makeConfiguration(MAFFT, "--auto");
  std::vector<training::GainExample> examples;
  std::vector<size_t> exampleSet;
  std::map<std::string, runs::Configuration> configurations;
  std::map<std::string, int> counts;
  for (size_t s : active_) {
    const training::RunRecord* a = cache_.find(sets_[s].hash, automatic);
    if (!a || !a->valid()) continue;
    training::GainExample e;
    e.descriptors = advice::describeDataSet(sets_[s].features);
    for (const training::RunRecord* r : cache_.runsOf(sets_[s].hash)) {
      if (r->configuration == automatic) continue;
      const std::string label = r->configuration.label();
      e.gain[label] = training::flooredGain(r->valid() ? r->q : 0, a->q);
      configurations[label] = r->configuration;
      ++counts[label];
    }
    examples.push_back(e);
    exampleSet.push_back(s);
  }
  for (const auto& [label, n] : counts)
    if (2 * static_cast<size_t>(n) < examples.size()) configurations.erase(label);
  const advice::GainModel all =
      training::crossValidatedGainModel(examples, configurations, options_.folds);
  std::map<size_t, int> foldOf;
  for (const training::HeldOut& h : heldOut) foldOf[h.set] = h.fold;
  perFold->clear();
  for (int f = 1; f <= options_.folds; ++f) {
    std::vector<training::GainExample> fitted;
    for (size_t i = 0; i < examples.size(); ++i)
      if (foldOf.count(exampleSet[i]) && foldOf[exampleSet[i]] != f) fitted.push_back(examples[i]);
    advice::GainModel m = training::fitGainModel(fitted, configurations, all.form);
    for (advice::GainEntry& e : m.entries)
      if (const advice::GainEntry* shipped = all.find(e.configuration)) e.error = shipped->error;
    perFold->push_back(m);
  }
  return all;
}

bool Trainer::writeLearned(const std::vector<size_t>& sets, const training::SearchResult& result,
                           const std::string& folder, bool main, std::string* error) {
  std::vector<std::string> warnings;
  const std::vector<TableLine> table =
      bestPerDataSet(sets_, sets, cache_, result.evaluated, &warnings);
  const std::vector<training::Individual> full = paretoFront(result.evaluated, &warnings);
  const std::vector<training::Individual> front = frontFileOrder(full, &warnings);
  if (main)
    for (const std::string& w : warnings) std::cerr << "alntrain: warning: " << w << std::endl;
  if (front.empty() && main)
    std::cerr << "alntrain: warning: no configuration aligned every data set; the front is empty"
              << std::endl;
  if (!runs::writeFileAtomically(folder + "/reference-table.txt", formatReferenceTable(table),
                                 error) ||
      !runs::writeFileAtomically(folder + "/front.txt", formatFront(front), error))
    return false;
  if (!main) return true;
  summary_.table = table;
  summary_.front = full;
  summary_.frontFile = front;
  if (!runs::writeFileAtomically(folder + "/search.tsv", searchTsv(result, full), error))
    return false;
  return drawFront(full, result.evaluated, folder, options_.gnuplot, log_, error);
}

// timings.tsv and cost-model.json; false (a message said why) when a file
// cannot be written.
bool Trainer::writeCostModel() {
  std::vector<advice::TimedRun> timed = timedRuns(sets_, cache_);
  const std::string own = training::formatTimings(timed);
  timed.insert(timed.end(), extraTimings_.begin(), extraTimings_.end());
  std::string error;
  if (!runs::writeFileAtomically(output_ + "/timings.tsv", own, &error) ||
      !runs::writeFileAtomically(output_ + "/cost-model.json",
                                 advice::formatCostModel(advice::fitCostModel(timed)), &error)) {
    std::cerr << "alntrain: " << error << std::endl;
    return false;
  }
  return true;
}

int Trainer::stopped() {
  const int signal = runs::SignalGuard::caught();
  runFolder_.remove();
  std::cerr << "alntrain: interrupted; " << cache_.size()
            << " runs kept in runs.tsv (continue with --resume)" << std::endl;
  return 128 + (signal > 0 ? signal : SIGINT);
}

void Trainer::announce() const {
  if (!list_.empty())
    say("learning from " + std::to_string(list_.size()) + " listed configurations on " +
        std::to_string(active_.size()) + " data sets");
  else
    say("searching on " + std::to_string(active_.size()) + " data sets: population " +
        std::to_string(options_.population) + ", " + std::to_string(options_.generations) +
        " generations" +
        (options_.budget > 0 ? ", at most " + std::to_string(options_.budget) + " runs" : "") +
        ", seed " + std::to_string(options_.seed));
}

int Trainer::crossValidateModels(bool* ok) {
  std::error_code ec;
  fs::remove_all(output_ + "/folds", ec);
  training::CrossValidationSettings cv;
  cv.folds = options_.folds;
  cv.aligners = options_.aligners;
  cv.folder = output_;
  const training::FoldSearchFn foldSearch = [&](const std::vector<size_t>& fitSets, int fold,
                                                const std::string& folder, std::string* table,
                                                std::string* front) {
    training::SearchResult foldResult;
    const std::string label =
        "fold " + std::to_string(fold) + "/" + std::to_string(options_.folds) + ": ";
    if (!search(fitSets, label, &foldResult)) return false;
    *table = folder + "/reference-table.txt";
    *front = folder + "/front.txt";
    return writeLearned(fitSets, foldResult, folder, false, &error_);
  };
  std::vector<training::HeldOut> heldOut;
  if (!training::crossValidate(active_, cv, *evaluator_, foldSearch, &heldOut, &error_)) {
    if (runs::SignalGuard::caught()) return stopped();
    return fail(error_, kTrainingFailed);
  }
  training::LearntChoice learnt = training::learnChoice(&heldOut, options_.folds);
  std::vector<advice::GainModel> gainPerFold;
  const advice::GainModel gains = fitGains(heldOut, &gainPerFold);
  advice::ConfidenceCalibration calibration;
  const std::string efforts = judgeEfforts(heldOut, gainPerFold, &learnt, &calibration);
  summary_.crossValidation =
      training::formatCrossValidation(heldOut, sets_, options_.folds, learnt) + efforts + "\n" +
      training::formatGainReport(gains);
  std::string error;
  if (!runs::writeFileAtomically(output_ + "/cross-validation.tsv",
                                 training::crossValidationTsv(heldOut, sets_), &error) ||
      !runs::writeFileAtomically(output_ + "/choice-model.json",
                                 advice::formatChoiceModel(learnt.all), &error) ||
      !runs::writeFileAtomically(output_ + "/gain-model.json", advice::formatGainModel(gains),
                                 &error) ||
      (!calibration.raw.empty() &&
       !runs::writeFileAtomically(output_ + "/confidence-calibration.json",
                                  advice::formatConfidenceCalibration(calibration), &error))) {
    std::cerr << "alntrain: " << error << std::endl;
    *ok = false;
  }
  return -1;
}

std::string Trainer::judgeEfforts(const std::vector<training::HeldOut>& heldOut,
                                  const std::vector<advice::GainModel>& gainPerFold,
                                  training::LearntChoice* learnt,
                                  advice::ConfidenceCalibration* calibration) const {
  advice::CostModel costModel;
  std::string error;
  const std::string costPath = runs::findDataFile("", "cost-model.json");
  if (!advice::readCostModel(costPath, &costModel, &error))
    return "\nNo effort judged, no confidence calibrated: " + error + ".\n";
  learnt->all.efforts = training::validateEfforts(heldOut, sets_, *learnt, gainPerFold, costModel,
                                                  training::kEffortJobs);
  advice::Effort byDefault;
  advice::findEffort("default", &byDefault, &error);
  std::vector<training::ConfidenceColumn> columns;
  for (const training::HeldOut& h : heldOut) {
    const size_t f = static_cast<size_t>(h.fold - 1);
    if (f >= gainPerFold.size() || h.runs.empty()) continue;
    const std::vector<bool> ran = training::plannedRuns(h, sets_[h.set], byDefault,
                                                        gainPerFold[f], costModel,
                                                        training::kEffortJobs);
    training::addConfidenceColumns(h, sets_[h.set].reference, ran, &columns);
  }
  std::string text = training::formatEffortChecks(learnt->all.efforts, training::kEffortJobs);
  if (columns.empty()) return text + "\nNo column confidence calibrated: no column to fit.\n";
  *calibration = training::crossValidatedCalibration(columns, options_.folds,
                                                     static_cast<int>(heldOut.size()));
  return text + training::formatCalibrationReport(*calibration);
}

std::string Trainer::settingsLine() const {
  return (list_.empty() ? std::string()
                        : "configurations " + options_.configurations + " (" +
                              std::to_string(list_.size()) + "), ") +
         "seed " + std::to_string(options_.seed) + ", population " +
         std::to_string(options_.population) + ", generations " +
         std::to_string(options_.generations) + ", budget " +
         (options_.budget > 0 ? std::to_string(options_.budget) + " runs per search"
                              : std::string("none")) +
         ", timeout " +
         (options_.timeoutSeconds > 0 ? fixed(options_.timeoutSeconds, 0) + " s"
                                      : std::string("none")) +
         ", jobs " + std::to_string(options_.jobs) + ", option space " + spacePath_;
}

bool Trainer::writeReport() {
  summary_.wallSeconds = secondsSince(start_);
  summary_.stats = evaluator_->stats();
  summary_.jobs = options_.jobs;
  summary_.runsInCache = cache_.size();
  summary_.reusedAtStart = reusedAtStart_;
  summary_.setsUsed = active_.size();
  summary_.sets = &sets_;
  summary_.settings = settingsLine();
  summary_.benchmark = options_.benchmark;
  const std::string report = formatTrainingReport(summary_, GETCHAR_VERSION);
  std::string error;
  if (runs::writeFileAtomically(output_ + "/report.txt", report, &error)) return true;
  std::cerr << "alntrain: " << error << std::endl;
  return false;
}

int Trainer::run() {
  runs::SignalGuard guard;
  int status = checkInputs();
  if (status < 0) status = prepareOutput();
  if (status < 0) status = prepareRuns();
  if (status < 0) status = list_.empty() ? dropHopelessSets() : runList();
  if (status >= 0) return status;

  announce();
  training::SearchResult result;
  if (!search(active_, "", &result)) {
    if (runs::SignalGuard::caught()) return stopped();
    return fail(error_, kTrainingFailed);
  }
  summary_.search = result;
  summary_.listed = !list_.empty();
  std::string error;
  bool ok = writeLearned(active_, result, output_, true, &error);
  if (!ok) std::cerr << "alntrain: " << error << std::endl;
  say("front: " + std::to_string(summary_.front.size()) + " configurations; table: " +
      std::to_string(summary_.table.size()) + " data sets; in " + output_);
  if (options_.folds > 0) {
    status = crossValidateModels(&ok);
    if (status >= 0) return status;
  }
  ok = writeCostModel() && ok;
  ok = writeReport() && ok;
  if (!options_.quiet) std::cerr << timingLine(summary_) << std::endl;
  if (log_ >= 0) ::close(log_);
  return ok ? kTrained : kTrainingFailed;
}

}  // namespace

std::string defaultTrainingFolder(const std::string& benchmark) {
  std::string base = benchmark;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  base = base.substr(base.rfind('/') + 1);
  if (base.empty() || base == "." || base == ".." || base == "/") base = "benchmark";
  return base + ".train";
}

int printConfigurations(const TrainOptions& options) {
  training::OptionSpace space;
  std::string error;
  const std::string path = runs::findDataFile(options.space, "option-space.json");
  std::vector<runs::Configuration> list;
  training::seedGenerator(options.seed);
  if (!training::loadOptionSpace(path, &space, &error) ||
      !training::listConfigurations(space, options.aligners, options.sample, &list, &error))
    return fail(error, kBadUsage);
  std::cout << training::formatConfigurationList(list) << std::flush;
  return std::cout ? kTrained : fail("cannot write standard output", kTrainingFailed);
}

int runTrainer(const TrainOptions& options) {
  Trainer trainer(options);
  return trainer.run();
}

}  // namespace alntrain
