#include "advice/advisor.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "advice/agreement_scores.h"
#include "advice/core_tables.h"
#include "advice/ranking.h"
#include "runs/aligner_jobs.h"
#include "runs/aligner_names.h"
#include "runs/job_pool.h"
#include "runs/run_cost.h"
#include "runs/run_verdict.h"
#include "runs/signal_guard.h"
#include "runs/tool_locations.h"

namespace advice {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

bool readable(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

// Candidate id i writes the run file of index i + 4.
int fileOf(const Candidate& c) { return c.id + runs::kFirstRunFile - 1; }

}  // namespace

Advisor::Advisor(const AdviceSettings& settings) : settings_(settings) {}
Advisor::~Advisor() = default;

bool Advisor::checkInputs(std::string* error) {
  if (!runs::readDataSet(settings_.dataSet, &advice_.data, error)) return false;
  if (!settings_.reference.empty()) {
    if (!runs::readReference(settings_.reference, advice_.data, &reference_, error)) return false;
    advice_.referencePath = settings_.reference;
  }
  advice_.toolsFolder = runs::findToolsFolder(settings_.tools);
  if (!runs::looksLikeToolsFolder(advice_.toolsFolder)) {
    *error = "no aligners in '" + advice_.toolsFolder +
             "' (bin/ and lib/ missing); lay them out with scripts/install-aligners";
    return false;
  }
  if (advice_.referenceMode() && !runs::hasProgram(advice_.toolsFolder, "bin/qscore")) {
    *error = "no scorer bin/qscore in '" + advice_.toolsFolder + "'";
    return false;
  }
  advice_.tablePath = runs::findDataFile(settings_.table, "reference-table.txt");
  advice_.frontPath = runs::findDataFile(settings_.front, "front.txt");
  if (!readable(advice_.tablePath)) {
    *error = "cannot read the reference table '" + advice_.tablePath + "'";
    return false;
  }
  if (!readable(advice_.frontPath)) {
    *error = "cannot read the front '" + advice_.frontPath + "'";
    return false;
  }
  return advice_.referenceMode() || chooseEstimator(error);
}

// The model file is read unless agreement was asked for: without it the
// default estimator is not known.
bool Advisor::chooseEstimator(std::string* error) {
  const std::string& asked = settings_.estimator;
  if (!asked.empty() && asked != "learned" && asked != "agreement") {
    *error = "unknown estimator '" + asked + "' (learned or agreement)";
    return false;
  }
  if (asked == "agreement") {
    advice_.estimator = Estimator::kAgreement;
    return true;
  }
  advice_.modelPath = runs::findDataFile(settings_.choiceModel, "choice-model.json");
  if (!readChoiceModel(advice_.modelPath, &advice_.model, error)) return false;
  advice_.estimator = asked == "learned" ? Estimator::kLearned : advice_.model.defaultEstimator;
  if (advice_.estimator == Estimator::kAgreement) advice_.modelPath.clear();
  return true;
}

AdviceOutcome Advisor::run(int logFd, AdviceObserver& observer, std::string* error) {
  if (!prepare(error)) return AdviceOutcome::kFailed;
  bool completed = runCandidates(logFd, observer);
  if (completed && settings_.merge) completed = runMerge(logFd, observer);
  if (completed) scoreWithoutReference();
  if (!completed || runs::SignalGuard::caught() != 0) {
    runFolder_.remove();
    return AdviceOutcome::kInterrupted;
  }
  rank();
  return AdviceOutcome::kDone;
}

// The run folder, the safe copies, the features and the candidates.
bool Advisor::prepare(std::string* error) {
  if (!runFolder_.create(error)) return false;
  if (settings_.keep) runFolder_.keep();
  const std::string input = runFolder_.file("input.fasta");
  if (!runs::writeSafeCopy(advice_.data, input, error) ||
      (advice_.referenceMode() &&
       !runs::writeSafeReference(reference_, runFolder_.file("ref.fasta"), error)))
    return false;
  if (!extractDataSetFeatures(input, advice_.features)) {
    *error = "cannot read back '" + input + "'";
    return false;
  }
  Proposal p = proposeCandidates(advice_.features, static_cast<int>(advice_.data.size()),
                                 advice_.tablePath, advice_.frontPath, settings_.aligners);
  advice_.nearest = p.nearest;
  advice_.front = p.front;
  advice_.frontPoints = p.frontPoints;
  advice_.warnings = p.warnings;
  for (const Candidate& c : p.candidates) {
    CandidateResult r;
    r.candidate = c;
    r.status = runs::kStatusNotRun;
    results_.push_back(r);
  }
  return true;
}

// Without a reference the runner's scoring must fail: a path never written.
std::string Advisor::referenceCopy() const {
  return runFolder_.file(advice_.referenceMode() ? "ref.fasta" : "no-reference.fasta");
}

void Advisor::finished(AdviceObserver& observer, const CandidateResult& r) {
  ++finished_;
  observer.finished(r, finished_, planned_);
}

void Advisor::record(CandidateResult& r, const runs::JobOutcome& outcome, int fileIndex) {
  runs::RunVerdict v =
      runs::judgeRun(outcome, runs::runFile(fileIndex), advice_.data, advice_.referenceMode());
  r.ran = true;
  r.status = v.status;
  r.valid = v.valid;
  r.rows = std::move(v.rows);
  r.hasQ = v.scored;
  r.q = v.q;
  r.tc = v.tc;
  r.seconds = v.seconds;
}

bool Advisor::runCandidates(int logFd, AdviceObserver& observer) {
  std::vector<size_t> queue;
  for (size_t i = 0; i < results_.size(); ++i) {
    CandidateResult& r = results_[i];
    const char* program = runs::alignerProgram(r.candidate.configuration.kind);
    if (!runs::hasProgram(advice_.toolsFolder, program)) {
      r.status = runs::missingStatus(program);
      continue;
    }
    queue.push_back(i);
  }
  std::stable_sort(queue.begin(), queue.end(), [&](size_t a, size_t b) {
    return runs::expectedCost(results_[a].candidate.configuration, advice_.data) >
           runs::expectedCost(results_[b].candidate.configuration, advice_.data);
  });
  planned_ = results_.size() + (settings_.merge ? 1 : 0);
  observer.planned(advice_, results_.size(), settings_.merge, settings_.jobs);
  for (CandidateResult& r : results_)
    if (r.status != runs::kStatusNotRun) finished(observer, r);

  const std::string input = runFolder_.file("input.fasta");
  const int sequences = static_cast<int>(advice_.data.size());
  std::vector<runs::JobWork> jobs;
  for (size_t i : queue) {
    const Candidate& c = results_[i].candidate;
    jobs.push_back(runs::alignerJob(advice_.toolsFolder, input, referenceCopy(), c.configuration,
                                    fileOf(c), sequences));
  }
  runs::JobPoolSettings pool;
  pool.maxJobs = settings_.jobs;
  pool.timeoutSeconds = settings_.timeoutSeconds;
  pool.outputFd = logFd;
  std::vector<runs::JobOutcome> outcomes;
  const Clock::time_point start = Clock::now();
  double handling = 0;
  const bool completed = runs::runJobs(
      jobs, pool,
      [&](size_t j, const runs::JobOutcome& o) {
        const Clock::time_point t = Clock::now();
        CandidateResult& r = results_[queue[j]];
        record(r, o, fileOf(r.candidate));
        finished(observer, r);
        handling += runs::secondsSince(t);
      },
      &outcomes);
  poolSeconds_ += runs::secondsSince(start) - handling;
  return completed;
}

// Copies the three inputs' alignments to the merge's run files; the merge
// result's status says what went wrong when that is not possible.
bool Advisor::stageMerge(const std::vector<size_t>& inputs, CandidateResult* merge) {
  std::error_code ec;
  bool staged = true;
  for (size_t k = 0; k < 3; ++k) {
    fs::copy_file(runs::runFile(fileOf(results_[inputs[k]].candidate)),
                  runs::runFile(runs::kMergeInputFiles[k]), fs::copy_options::overwrite_existing,
                  ec);
    staged = staged && !ec;
  }
  fs::remove(runs::runFile(runs::kMergeOutputFile), ec);
  fs::remove(runs::runFile(runs::kMergeOutputFile) + ".dnd", ec);
  const char* program = runs::alignerProgram(runs::kMergeKind);
  if (!runs::hasProgram(advice_.toolsFolder, program)) {
    merge->status = runs::missingStatus(program);
    return false;
  }
  if (!staged) {
    merge->status = runs::failedStatus("cannot stage its inputs");
    return false;
  }
  return true;
}

bool Advisor::runMerge(int logFd, AdviceObserver& observer) {
  CandidateResult merge;
  merge.candidate.id = static_cast<int>(results_.size()) + 1;
  merge.candidate.configuration.kind = runs::kMergeKind;
  scoreWithoutReference();  // without a reference, the three the estimator ranks first
  std::vector<size_t> inputs;
  for (size_t i : rankCandidates(results_, rankBy()))
    if (results_[i].valid && inputs.size() < 3) inputs.push_back(i);
  if (inputs.size() < 3) {
    observer.noMerge();
    --planned_;
    return true;
  }
  std::string names;
  for (size_t k = 0; k < 3; ++k) {
    const int id = results_[inputs[k]].candidate.id;
    merge.mergeInputs.push_back(id);
    names += (k ? ", #" : "#") + std::to_string(id);
    merge.candidate.configuration.options += (k ? " #" : "#") + std::to_string(id);
  }
  merge.candidate.reasons.push_back("merge of " + names);
  merge.status = runs::kStatusNotRun;
  if (!stageMerge(inputs, &merge)) {
    finished(observer, merge);
    results_.push_back(merge);
    return true;
  }
  runs::JobPoolSettings pool;
  pool.maxJobs = 1;
  pool.timeoutSeconds = settings_.timeoutSeconds;
  pool.outputFd = logFd;
  std::vector<runs::JobOutcome> outcomes;
  const Clock::time_point start = Clock::now();
  const bool completed = runs::runJobs(
      {runs::mergeJob(advice_.toolsFolder, runFolder_.file("input.fasta"), referenceCopy())}, pool,
      [](size_t, const runs::JobOutcome&) {}, &outcomes);
  poolSeconds_ += runs::secondsSince(start);
  record(merge, outcomes[0], runs::kMergeOutputFile);
  finished(observer, merge);
  results_.push_back(merge);
  return completed;
}

// Without a reference; see agreement_scores.h for the merge's place.
void Advisor::scoreWithoutReference() {
  if (advice_.referenceMode()) return;
  scoreAgreement(&results_);
  if (advice_.estimator == Estimator::kLearned) predictQuality(advice_.model, &results_);
}

RankBy Advisor::rankBy() const {
  if (advice_.referenceMode()) return RankBy::kReference;
  return advice_.estimator == Estimator::kLearned ? RankBy::kPredicted : RankBy::kAgreement;
}

void Advisor::rank() {
  int rank = 0;
  for (size_t i : rankCandidates(results_, rankBy())) {
    CandidateResult r = results_[i];
    if (r.valid) r.rank = ++rank;
    advice_.results.push_back(r);
  }
  if (!advice_.results.empty() && advice_.results[0].valid) advice_.bestIndex = 0;
  for (const CandidateResult& r : advice_.results)
    if (r.ran) advice_.runSeconds += r.seconds;
}

}  // namespace advice
