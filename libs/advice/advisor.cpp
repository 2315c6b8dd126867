#include "advice/advisor.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "advice/agreement_scores.h"
#include "advice/budget.h"
#include "advice/calibration.h"
#include "advice/column_confidence.h"
#include "advice/confidence_calibration.h"
#include "advice/core_tables.h"
#include "advice/mafft_auto.h"
#include "advice/nucleotide_candidates.h"
#include "advice/ranking.h"
#include "advice/row_sample.h"
#include "getChar.h"
#include "runs/aligner_jobs.h"
#include "runs/aligner_names.h"
#include "runs/job_pool.h"
#include "runs/nucleotide_modes.h"
#include "runs/run_verdict.h"
#include "runs/signal_guard.h"
#include "runs/tool_locations.h"
#include "scoring/alignment.h"
#include "scoring/score.h"

namespace advice {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

bool readable(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

bool mafftAllowed(const std::vector<int>& aligners) {
  return std::find(aligners.begin(), aligners.end(), MAFFT) != aligners.end();
}

// Candidate id i writes the run file of index i + 4.
int fileOf(const Candidate& c) { return c.id + runs::kFirstRunFile - 1; }

}  // namespace

bool findEffort(const std::string& name, Effort* effort, std::string* error) {
  for (const Effort& e : kEfforts) {
    if (name != e.name) continue;
    *effort = e;
    return true;
  }
  *error = "unknown effort '" + name + "' (fast, default or thorough)";
  return false;
}

double mafftAutoWallSeconds(const CostModel& model, int sequences, double meanLength,
                            double longest, int jobs) {
  const int cores = std::min(std::max(jobs, 1), 4);
  return expectedSeconds(model, runs::makeConfiguration(MAFFT, kMafftAutoOption), sequences,
                         meanLength, longest) /
         (1 + kMafftThreadGain * (cores - 1));
}

double effortBudget(const Effort& effort, double mafftAutoSeconds) {
  return std::max(effort.minimumSeconds, effort.budgetFactor * mafftAutoSeconds);
}

Advisor::Advisor(const AdviceSettings& settings) : settings_(settings) {}
Advisor::~Advisor() = default;

bool Advisor::checkInputs(std::string* error) {
  Effort effort{};
  if (!findEffort(settings_.effort, &effort, error)) return false;
  if (!runs::readDataSet(settings_.dataSet, &advice_.data, error) ||
      !runs::chooseAlphabet(settings_.alphabet, &advice_.data, error))
    return false;
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
  advice_.budget.costModelPath = runs::findDataFile(settings_.costModel, "cost-model.json");
  if (!readCostModel(advice_.budget.costModelPath, &advice_.costModel, error) ||
      !applyCalibration(advice_.budget.costModelPath, &advice_.costModel,
                        &advice_.budget.calibrationPath, error))
    return false;
  if (!runs::isNucleotide(advice_.data.alphabet)) {
    advice_.gainModelPath = runs::findDataFile(settings_.gainModel, "gain-model.json");
    if (!readGainModel(advice_.gainModelPath, &advice_.gainModel, error)) return false;
    advice_.confidenceCalibrationPath =
        runs::findDataFile(settings_.confidenceCalibration, "confidence-calibration.json");
    if (!readConfidenceCalibration(advice_.confidenceCalibrationPath,
                                   &advice_.confidenceCalibration, error))
      return false;
  }
  advice_.switchMargin = kDefaultSwitchMargin;
  return advice_.referenceMode() || chooseEstimator(error);
}

// The model file is read unless agreement was asked for: without it the
// default estimator is not known.
bool Advisor::chooseEstimator(std::string* error) {
  const std::string& asked = settings_.estimator;
  if (!asked.empty() && asked != "learned" && asked != "agreement" && asked != "consensus") {
    *error = "unknown estimator '" + asked + "' (learned, agreement or consensus)";
    return false;
  }
  if (asked == "consensus") {
    advice_.estimator = Estimator::kConsensus;
    advice_.switchMargin = kConsensusSwitchMargin;
    return true;
  }
  if (runs::isNucleotide(advice_.data.alphabet)) {
    if (asked == "learned") {
      *error = std::string("the learned estimator knows protein families only; this data set is ") +
               runs::alphabetName(advice_.data.alphabet) +
               " (--estimator agreement, or --alphabet protein)";
      return false;
    }
    advice_.estimator = Estimator::kAgreement;
    return true;
  }
  if (asked == "agreement") {
    advice_.estimator = Estimator::kAgreement;
    return true;
  }
  advice_.modelPath = runs::findDataFile(settings_.choiceModel, "choice-model.json");
  if (!readChoiceModel(advice_.modelPath, &advice_.model, error)) return false;
  advice_.estimator = asked == "learned" ? Estimator::kLearned : advice_.model.defaultEstimator;
  if (advice_.estimator == Estimator::kAgreement)
    advice_.modelPath.clear();
  else if (advice_.model.hasSwitchMargin)
    advice_.switchMargin = advice_.model.switchMargin;
  // An effort's default budget runs fewer candidates than all: its own
  // margin, judged on what it runs, when the model has one.
  const EffortCheck* e = advice_.model.findEffort(settings_.effort);
  if (advice_.estimator == Estimator::kLearned && settings_.budgetSeconds < 0 && e)
    advice_.switchMargin = e->switchMargin;
  if (advice_.estimator == Estimator::kLearned &&
      static_cast<int>(advice_.data.size()) >= kLargeInputSequences)
    advice_.switchMargin = std::max(advice_.switchMargin, kLargeInputSwitchMargin);
  return true;
}

AdviceOutcome Advisor::run(int logFd, AdviceObserver& observer, std::string* error) {
  if (!prepare(error)) return AdviceOutcome::kFailed;
  bool completed = runCandidates(logFd, observer);
  if (completed && settings_.merge) completed = runMerge(logFd, observer);
  if (completed) scoreWithoutReference();
  if (completed) noteWhatWasStopped();
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
  const int sequences = static_cast<int>(advice_.data.size());
  std::vector<int> aligners = settings_.aligners;
  if (!settings_.alignersGiven && sequences >= kLargeInputSequences &&
      std::find(aligners.begin(), aligners.end(), CLUSTALO) == aligners.end())
    aligners.push_back(CLUSTALO);
  if (advice_.data.stopsDropped > 0)
    advice_.warnings.push_back(std::to_string(advice_.data.stopsDropped) +
                               " records ended with a stop '*', dropped before aligning");
  if (runs::isNucleotide(advice_.data.alphabet)) {
    proposeNucleotide(sequences, aligners);
  } else {
    Proposal p = proposeCandidates(advice_.features, sequences, advice_.tablePath,
                                   advice_.frontPath, aligners);
    advice_.nearest = p.nearest;
    advice_.front = p.front;
    advice_.frontPoints = p.frontPoints;
    advice_.warnings.insert(advice_.warnings.end(), p.warnings.begin(), p.warnings.end());
    if (mafftAllowed(aligners))
      addMafftAutoAnchor(&p.candidates, sequences, static_cast<double>(advice_.data.longest()));
    for (const Candidate& c : p.candidates) {
      CandidateResult r;
      r.candidate = c;
      r.status = runs::kStatusNotRun;
      results_.push_back(r);
    }
  }
  anchor_ = mafftAllowed(aligners) ? 0 : results_.size();
  planRuns();
  return true;
}

// The protein-trained table and front stay out; aligners without a
// nucleotide mode are left out with the reason.
void Advisor::proposeNucleotide(int sequences, const std::vector<int>& aligners) {
  NucleotideProposal p = proposeNucleotideCandidates(sequences, aligners, advice_.data.alphabet);
  if (mafftAllowed(aligners)) {
    std::string mode, whyNot;
    runs::nucleotideOptions(MAFFT, advice_.data.alphabet, &mode, &whyNot);
    addMafftAutoAnchor(&p.candidates, sequences, static_cast<double>(advice_.data.longest()), mode);
  }
  for (size_t k = 0; k < p.leftOut.size(); ++k)
    p.leftOut[k].candidate.id = static_cast<int>(p.candidates.size() + k) + 1;
  advice_.warnings.push_back(std::string(runs::alphabetName(advice_.data.alphabet)) +
                             " data set: nucleotide modes, ranked without the protein-trained "
                             "reference table, front and learned estimator");
  for (const Candidate& c : p.candidates) {
    CandidateResult r;
    r.candidate = c;
    r.status = runs::kStatusNotRun;
    results_.push_back(r);
  }
  for (const NoNucleotideMode& n : p.leftOut) {
    CandidateResult r;
    r.candidate = n.candidate;
    r.leftOut = true;
    r.status = n.why;
    results_.push_back(r);
  }
}

// Expected times, the budget and what fits in it; the merge is planned
// only where t_coffee may run and the budget leaves room for it.
void Advisor::planRuns() {
  const int n = static_cast<int>(advice_.data.size());
  const double length = advice_.data.meanLength();
  const double longest = static_cast<double>(advice_.data.longest());
  const CostModel& model = advice_.costModel;
  BudgetReport& b = advice_.budget;
  b.mafftAutoSeconds = mafftAutoWallSeconds(model, n, length, longest, settings_.jobs);
  Effort effort{};
  std::string unused;
  findEffort(settings_.effort, &effort, &unused);  // checked by checkInputs
  b.effort = effort.name;
  b.byDefault = settings_.budgetSeconds < 0;
  b.seconds = b.byDefault ? effortBudget(effort, b.mafftAutoSeconds) : settings_.budgetSeconds;
  // Above kHugeInputSequences what keeps an N x N matrix (4 bytes a cell,
  // half of it) does not run at all.
  const double matrixGb = 2.0 * n * n / 1e9;
  std::vector<BudgetItem> items;
  std::vector<size_t> itemOf;
  for (size_t i = 0; i < results_.size(); ++i) {
    CandidateResult& r = results_[i];
    if (r.leftOut) continue;  // no nucleotide mode
    const runs::Configuration& c = r.candidate.configuration;
    const std::string family = costFamily(c, n, length, longest);
    r.expectedSeconds = expectedSeconds(model, c, n, length, longest);
    if (n >= kHugeInputSequences && quadraticMemory(family)) {
      char why[160];
      std::snprintf(why, sizeof why,
                    "left out (its memory grows with the square of the sequences: about %.0f GB "
                    "here)",
                    matrixGb);
      r.leftOut = true;
      r.status = why;
      continue;
    }
    items.push_back({r.expectedSeconds, candidateValue(&r, family), i == anchor_});
    itemOf.push_back(i);
  }
  bool wantMerge = settings_.merge;
  if (wantMerge && n > kMergeMaxSequences) {
    wantMerge = false;
    b.mergeWhy =
        "more than " + std::to_string(kMergeMaxSequences) + " sequences, the merge's limit";
  }
  const double mergeSeconds = expectedSeconds(model, kMergeFamily, n, length);
  const BudgetPlan plan =
      planWithinBudget(items, b.seconds, settings_.jobs, wantMerge, mergeSeconds);
  for (size_t k = 0; k < items.size(); ++k) {
    if (plan.chosen[k]) continue;
    results_[itemOf[k]].leftOut = true;
    results_[itemOf[k]].status =
        "left out (" + plan.why[k] + predictionText(results_[itemOf[k]]) + ")";
  }
  b.expectedWallSeconds = plan.expectedWall;
  // Without a budget MAFFT --auto still runs first; nothing is stopped.
  firstPick_ = items.empty()                                             ? results_.size()
               : b.seconds > 0                                           ? itemOf[plan.first]
               : anchor_ < results_.size() && !results_[anchor_].leftOut ? anchor_
                                                                         : results_.size();
  if (firstPick_ < results_.size()) {
    b.firstPickId = results_[firstPick_].candidate.id;
    b.firstPickExpectedSeconds = results_[firstPick_].expectedSeconds;
  }
  b.merge = mergePlanned_ = plan.merge;
  if (wantMerge && !plan.merge) b.mergeWhy = plan.mergeWhy;
}

// What a candidate is worth to the budget. Protein: its expected improvement
// over MAFFT --auto (gain_model.h). Nucleotides, which the gain model never
// saw: its cost family's mean Q in training.
double Advisor::candidateValue(CandidateResult* r, const std::string& family) const {
  if (advice_.gainModelPath.empty()) {
    const CostFamily* f = advice_.costModel.find(family);
    return f ? f->meanQ : 0;
  }
  const GainPrediction p =
      predictGain(advice_.gainModel, r->candidate.configuration, describeDataSet(advice_.features));
  r->hasGain = true;
  r->gainKnown = p.seen;
  r->predictedGain = p.gain;
  r->gainError = p.error;
  r->expectedImprovement = expectedImprovement(p.gain, p.error);
  return r->expectedImprovement;
}

std::string Advisor::predictionText(const CandidateResult& r) {
  if (!r.hasGain) return "";
  char text[120];
  std::snprintf(text, sizeof text, "; predicted Q over MAFFT --auto's %+.3f +- %.3f%s",
                r.predictedGain, r.gainError, r.gainKnown ? "" : ", not known to the gain model");
  return text;
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
  r.ran = v.status != runs::kStatusBudgetSpent;
  r.status = v.status;
  r.valid = v.valid;
  r.rows = std::move(v.rows);
  r.hasQ = v.scored;
  r.q = v.q;
  r.tc = v.tc;
  r.seconds = v.seconds;
  if (r.valid && r.hasQ) scoreInFull(r);
}

// The runner's scorer prints Q and TC to three digits, and near-ties would
// rank by rounding: the same score is computed again here in full, with the
// scorer's options, from the checked rows and the reference. The printed one
// stays when that fails (it cannot where the scorer succeeded).
void Advisor::scoreInFull(CandidateResult& r) const {
  std::vector<std::string> testNames, referenceNames;
  for (size_t i = 0; i < r.rows.size(); ++i) testNames.push_back(runs::safeName(i));
  for (size_t record : reference_.recordOf) referenceNames.push_back(runs::safeName(record));
  scoring::Alignment test, reference;
  scoring::ScoreOptions options;
  options.match.warnOnResidueDifferences = true;
  options.match.ignoreMissingSequences = true;
  options.match.truncateNames = true;
  options.ignoreTestCase = true;
  scoring::Score score;
  std::string error;
  if (!scoring::packRows(testNames, r.rows, &test, &error) ||
      !scoring::packRows(referenceNames, reference_.rows, &reference, &error) ||
      !scoring::scoreAlignments(test, reference, options, &score, &error))
    return;
  r.q = score.q;
  r.tc = score.tc;
}

std::vector<size_t> Advisor::queueCandidates(AdviceObserver& observer) {
  std::vector<size_t> queue;
  size_t chosen = 0;
  double longest = 0;
  for (size_t i = 0; i < results_.size(); ++i) {
    CandidateResult& r = results_[i];
    if (r.leftOut) continue;
    ++chosen;
    const char* program = runs::alignerProgram(r.candidate.configuration.kind);
    if (!runs::hasProgram(advice_.toolsFolder, program)) {
      r.status = runs::missingStatus(program);
      continue;
    }
    queue.push_back(i);
    longest = std::max(longest, r.expectedSeconds);
  }
  // The first pick first. Then, without a budget, the longest first, so
  // that no short run waits behind them at the end; with one, the shortest
  // first: a run the model underrated then stops only itself and longer
  // ones at the deadline, never the cheap runs waiting behind it.
  const bool budgeted = advice_.budget.seconds > 0;
  std::stable_sort(queue.begin(), queue.end(), [&](size_t a, size_t b) {
    if (a == firstPick_ || b == firstPick_) return a == firstPick_ && b != firstPick_;
    return budgeted ? results_[a].expectedSeconds < results_[b].expectedSeconds
                    : results_[a].expectedSeconds > results_[b].expectedSeconds;
  });
  firstPickEnded_ = queue.empty() || queue.front() != firstPick_;
  longestChosen_ = longest;
  planned_ = chosen + (mergePlanned_ ? 1 : 0);
  observer.planned(advice_, chosen, mergePlanned_, settings_.jobs);
  for (const CandidateResult& r : results_)
    if (r.leftOut) observer.leftOut(r);
  for (CandidateResult& r : results_)
    if (!r.leftOut && r.status != runs::kStatusNotRun) finished(observer, r);
  return queue;
}

std::vector<runs::JobWork> Advisor::candidateJobs(const std::vector<size_t>& queue) {
  // MAFFT --auto runs on every core, as the user's own one line would, when
  // that cannot change its alignment: alone (the budget chose nothing beside
  // it: the choice cannot change, only the time), or at a progressive
  // strategy (mafft_auto.h). Beside others, an iterative strategy keeps one
  // thread, whose alignment is the same from run to run.
  const int sequences = static_cast<int>(advice_.data.size());
  const bool progressive = threadsKeepAlignment(
      mafftAutoStrategy(sequences, static_cast<double>(advice_.data.longest())));
  const bool threaded = !queue.empty() && queue[0] == anchor_ && settings_.jobs > 1 &&
                        (queue.size() == 1 || progressive);
  if (threaded) advice_.budget.firstPickExpectedSeconds = advice_.budget.mafftAutoSeconds;
  const std::string input = runFolder_.file("input.fasta");
  std::vector<runs::JobWork> jobs;
  for (size_t i : queue) {
    const Candidate& c = results_[i].candidate;
    runs::Configuration run = c.configuration;
    if (threaded && i == anchor_) run.options += " --thread " + std::to_string(settings_.jobs);
    jobs.push_back(
        runs::alignerJob(advice_.toolsFolder, input, referenceCopy(), run, fileOf(c), sequences));
  }
  return jobs;
}

bool Advisor::runCandidates(int logFd, AdviceObserver& observer) {
  const std::vector<size_t> queue = queueCandidates(observer);
  const std::vector<runs::JobWork> jobs = candidateJobs(queue);
  const bool budgeted = advice_.budget.seconds > 0;
  runs::JobPoolSettings pool;
  pool.maxJobs = settings_.jobs;
  pool.timeoutSeconds = settings_.timeoutSeconds;
  const Clock::time_point start = Clock::now();
  runsStart_ = start;
  if (!firstPickEnded_) pool.protectedJobs.push_back(0);
  // While the first pick runs, its time so far already tells how slow the
  // machine is: nothing is stopped before it ends that it would not outlive.
  if (budgeted)
    pool.deadline = [this, start]() {
      const double expected = advice_.budget.firstPickExpectedSeconds;
      if (!firstPickEnded_ && expected > 0)
        slowdown_ = std::max(slowdown_, runs::secondsSince(start) / expected);
      return hardDeadline();
    };
  pool.outputFd = logFd;
  std::vector<runs::JobOutcome> outcomes;
  double handling = 0;
  const bool completed = runs::runJobs(
      jobs, pool,
      [&](size_t j, const runs::JobOutcome& o) {
        const Clock::time_point t = Clock::now();
        CandidateResult& r = results_[queue[j]];
        record(r, o, fileOf(r.candidate));
        if (queue[j] == firstPick_) judgeFirstPick(r);
        finished(observer, r);
        handling += runs::secondsSince(t);
      },
      &outcomes);
  poolSeconds_ += runs::secondsSince(start) - handling;
  if (budgeted) advice_.budget.deadlineSeconds = hardDeadline();
  advice_.budget.slowdown = slowdown_;
  return completed;
}

// Twice the budget and at least kBudgetSlackSeconds past it, twice the
// longest run chosen, all stretched by the first pick's slowdown.
double Advisor::hardDeadline() const {
  const double budget = advice_.budget.seconds;
  return slowdown_ *
         std::max({kBudgetSlack * budget, budget + kBudgetSlackSeconds, 2 * longestChosen_});
}

// Its time is the check on the cost model: far from the expectation, the
// report says so (a note, not a warning: it tells of the machine, not of
// the advice). Only an alignment's time counts as a measure of speed.
void Advisor::judgeFirstPick(const CandidateResult& r) {
  firstPickEnded_ = true;
  BudgetReport& b = advice_.budget;
  b.firstPickSeconds = r.seconds;
  const double expected = b.firstPickExpectedSeconds;
  if (!r.valid || expected <= 0 || r.seconds <= 0) {
    slowdown_ = 1;  // a failure measures nothing
    return;
  }
  const double ratio = r.seconds / expected;
  slowdown_ = std::max(1.0, ratio);
  if (ratio < kFarFromExpected && ratio > 1 / kFarFromExpected) return;
  char text[320];
  std::snprintf(text, sizeof text,
                "%s took %s where %s was expected (%.2g times)%s; alnadvise --calibrate fits "
                "the expected times to this machine",
                r.candidate.configuration.label().c_str(), formatDuration(r.seconds).c_str(),
                formatDuration(expected).c_str(), ratio,
                ratio > 1 ? ": the hard deadline is as many times later" : "");
  b.firstPickNote = text;
}

// Runs stopped at the hard deadline, or never started, are not in the choice.
void Advisor::noteWhatWasStopped() {
  std::string ids;
  for (const CandidateResult& r : results_) {
    if (r.status != runs::kStatusOverBudget && r.status != runs::kStatusBudgetSpent) continue;
    advice_.choiceWithout.push_back(r.candidate.id);
    ids += (ids.empty() ? "#" : ", #") + std::to_string(r.candidate.id);
  }
  if (ids.empty()) return;
  advice_.warnings.push_back("the choice was made without " + ids +
                             ", stopped or not started at the hard deadline of " +
                             formatDuration(advice_.budget.deadlineSeconds));
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
  if (!mergePlanned_) {
    if (!advice_.budget.mergeWhy.empty()) observer.noMerge(advice_.budget.mergeWhy);
    return true;
  }
  scoreWithoutReference();  // without a reference, the three the estimator ranks first
  std::vector<size_t> inputs;
  for (size_t i : rankCandidates(results_, rankBy()))
    if (results_[i].valid && inputs.size() < 3) inputs.push_back(i);
  if (inputs.size() < 3) {
    advice_.budget.mergeWhy = "fewer than three candidates produced an alignment";
    observer.noMerge(advice_.budget.mergeWhy);
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
  merge.expectedSeconds =
      expectedSeconds(advice_.costModel, kMergeFamily, static_cast<int>(advice_.data.size()),
                      advice_.data.meanLength());
  if (advice_.budget.seconds > 0)
    pool.deadlineSeconds = std::max(hardDeadline() - runs::secondsSince(runsStart_),
                                    2 * slowdown_ * merge.expectedSeconds);
  pool.outputFd = logFd;
  std::vector<runs::JobOutcome> outcomes;
  const Clock::time_point start = Clock::now();
  const bool completed = runs::runJobs(
      {runs::mergeJob(advice_.toolsFolder, runFolder_.file("input.fasta"), referenceCopy(),
                      runs::mergeTypeOption(advice_.data.alphabet))},
      pool, [](size_t, const runs::JobOutcome&) {}, &outcomes);
  poolSeconds_ += runs::secondsSince(start);
  record(merge, outcomes[0], runs::kMergeOutputFile);
  finished(observer, merge);
  results_.push_back(merge);
  return completed;
}

// Without a reference; see agreement_scores.h for the merge's place. A
// large family is scored on a sample of its rows (row_sample.h). The
// shares between alignments are computed once: scored again after the
// merge, only the merge's are new.
void Advisor::scoreWithoutReference() {
  if (advice_.referenceMode()) return;
  const size_t records = advice_.data.size();
  const bool sample = records > kScoredRows;
  std::vector<CandidateResult> sampled;
  if (sample) {
    const std::vector<size_t> which = sampleRows(records, kScoredRows, 1);
    for (const CandidateResult& r : results_) {
      CandidateResult s;
      s.candidate = r.candidate;
      s.valid = r.valid;
      s.mergeInputs = r.mergeInputs;
      if (r.valid) s.rows = sampledAlignment(r.rows, which);
      sampled.push_back(std::move(s));
    }
  }
  std::vector<CandidateResult>& scored = sample ? sampled : results_;
  std::vector<const std::vector<std::string>*> rows;
  for (const CandidateResult& r : scored) rows.push_back(r.valid ? &r.rows : nullptr);
  extendShares(rows, &shares_);
  scoreAgreement(&scored, shares_);
  if (advice_.estimator == Estimator::kLearned) predictQuality(advice_.model, &scored, shares_);
  if (advice_.estimator == Estimator::kConsensus) scoreConsensus(&scored, shares_);
  if (!sample) return;
  for (size_t i = 0; i < results_.size(); ++i) {
    results_[i].hasAgreement = sampled[i].hasAgreement;
    results_[i].agreement = sampled[i].agreement;
    results_[i].hasPredicted = sampled[i].hasPredicted;
    results_[i].predicted = sampled[i].predicted;
  }
}

RankBy Advisor::rankBy() const {
  if (advice_.referenceMode()) return RankBy::kReference;
  return advice_.estimator == Estimator::kAgreement ? RankBy::kAgreement : RankBy::kPredicted;
}

// Without a reference a score is an estimate: MAFFT --auto's alignment, the
// user's alternative, stays first unless another beats it by more than
// the switch margin.
void Advisor::keepMafftAutoUnlessBeaten(std::vector<size_t>* order) {
  if (advice_.referenceMode() || anchor_ >= results_.size() || order->empty()) return;
  const bool predicted = rankBy() == RankBy::kPredicted;
  auto score = [&](const CandidateResult& r, double* value) {
    *value = predicted ? r.predicted : r.agreement;
    return r.valid && (predicted ? r.hasPredicted : r.hasAgreement);
  };
  bool othersFailed = true;
  for (size_t i = 0; i < results_.size(); ++i)
    othersFailed = othersFailed && (i == anchor_ || !results_[i].valid);
  if (othersFailed && results_[anchor_].valid) {
    advice_.choiceNote = "MAFFT --auto's alignment: no other run produced one";
    return;
  }
  double top = 0, autoScore = 0;
  const size_t best = order->front();
  if (best == anchor_ || !score(results_[best], &top) || !score(results_[anchor_], &autoScore))
    return;
  const double gain = top - autoScore;
  const char* what = !predicted                                    ? "agreement"
                     : advice_.estimator == Estimator::kConsensus ? "consensus Q"
                                                                  : "predicted Q";
  char text[240];
  const std::string id = "#" + std::to_string(results_[best].candidate.id);
  if (gain > advice_.switchMargin) {
    std::snprintf(text, sizeof text,
                  "%s's %s beats MAFFT --auto's by %.3f, more than the switch margin of %.3f",
                  id.c_str(), what, gain, advice_.switchMargin);
  } else {
    std::snprintf(text, sizeof text,
                  "MAFFT --auto's alignment kept: %s's %s is higher by %.3f, within the "
                  "switch margin of %.3f",
                  id.c_str(), what, gain, advice_.switchMargin);
    order->erase(std::find(order->begin(), order->end(), anchor_));
    order->insert(order->begin(), anchor_);
    advice_.keptMafftAuto = true;
  }
  advice_.choiceNote = text;
}

void Advisor::rank() {
  int rank = 0;
  std::vector<size_t> order = rankCandidates(results_, rankBy());
  keepMafftAutoUnlessBeaten(&order);
  for (size_t i : order) {
    CandidateResult r = results_[i];
    if (r.valid) r.rank = ++rank;
    advice_.results.push_back(r);
  }
  if (!advice_.results.empty() && advice_.results[0].valid) {
    advice_.bestIndex = 0;
    advice_.confidence = confidenceOf(advice_.results, 0);
    if (!advice_.confidenceCalibrationPath.empty())
      calibrateConfidence(advice_.confidenceCalibration, &advice_.confidence);
  }
  for (const CandidateResult& r : advice_.results)
    if (r.ran) advice_.runSeconds += r.seconds;
}

}  // namespace advice
