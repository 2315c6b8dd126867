#include "advisor.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "advice.h"
#include "agreement_scores.h"
#include "aligner_names.h"
#include "candidate_runs.h"
#include "candidates.h"
#include "data_set.h"
#include "file_output.h"
#include "getChar.h"
#include "html_report.h"
#include "job_pool.h"
#include "output_folder.h"
#include "ranking.h"
#include "reference.h"
#include "report_writers.h"
#include "run_folder.h"
#include "tool_locations.h"

namespace alnadvise {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Run file indices 1-4 belong to the merge; candidate id i uses i + 4.
const int kFirstCandidateFile = 5;

int fail(const std::string& message, int status) {
  std::cerr << "alnadvise: " << message << std::endl;
  return status;
}

std::string runFile(int index) {
  return "/tmp/fasta" + std::to_string(pid_) + std::to_string(time_) + "/fasta" +
         std::to_string(index) + std::to_string(pid_) + std::to_string(time_);
}

bool readable(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

std::string describe(const CandidateResult& r) {
  return r.candidate.configuration.kind == kMergeKind
             ? "MERGE of " + r.candidate.configuration.options
             : r.candidate.configuration.label();
}

// Everything one advice needs while it runs.
class Advisor {
 public:
  explicit Advisor(const AdviseOptions& options) : options_(options) {}
  int run();

 private:
  int checkInputs();
  int prepareRun();
  void assemble();
  bool runCandidates();
  bool runMerge();
  void scoreByAgreement();
  void rankAndWrite();
  int finish();
  int interrupted();

  // Turns a finished job into the result's status, seconds and rows.
  void record(CandidateResult& r, const JobOutcome& outcome, int fileIndex);
  void progress(const CandidateResult& r);
  std::vector<size_t> rankOf(const std::vector<CandidateResult>& results) const;

  const AdviseOptions& options_;
  Advice advice_;
  Reference reference_;
  std::string output_;
  RunFolder runFolder_;
  int log_ = -1;
  std::vector<CandidateResult> results_;  // candidates in id order, then the merge
  Clock::time_point start_ = Clock::now();
  double poolSeconds_ = 0;
  size_t finished_ = 0, planned_ = 0;
  bool writeFailed_ = false;
};

int Advisor::run() {
  SignalGuard guard;
  int status = checkInputs();
  if (status < 0) status = prepareRun();
  if (status >= 0) return status;
  assemble();
  if (!runCandidates() || (options_.merge && !runMerge())) return interrupted();
  scoreByAgreement();
  if (SignalGuard::caught() != 0) return interrupted();
  rankAndWrite();
  return finish();
}

// Step 1 and the checks that must pass before anything is written.
int Advisor::checkInputs() {
  std::string error;
  if (!readDataSet(options_.dataSet, &advice_.data, &error)) return fail(error, kBadInput);
  if (!options_.reference.empty()) {
    if (!readReference(options_.reference, advice_.data, &reference_, &error))
      return fail(error, kBadInput);
    advice_.referencePath = options_.reference;
  }
  advice_.toolsFolder = findToolsFolder(options_.tools);
  if (!looksLikeToolsFolder(advice_.toolsFolder)) {
    return fail("no aligners in '" + advice_.toolsFolder +
                    "' (bin/ and lib/ missing); lay them out with scripts/install-aligners",
                kBadInput);
  }
  if (advice_.referenceMode() && !hasProgram(advice_.toolsFolder, "bin/qscore"))
    return fail("no scorer bin/qscore in '" + advice_.toolsFolder + "'", kBadInput);
  advice_.tablePath = findDataFile(options_.table, "reference-table.txt");
  advice_.frontPath = findDataFile(options_.front, "front.txt");
  if (!readable(advice_.tablePath))
    return fail("cannot read the reference table '" + advice_.tablePath + "'", kBadInput);
  if (!readable(advice_.frontPath))
    return fail("cannot read the front '" + advice_.frontPath + "'", kBadInput);
  output_ =
      options_.outputFolder.empty() ? defaultOutputFolder(options_.dataSet) : options_.outputFolder;
  if (!prepareOutputFolder(output_, options_.force, &error)) return fail(error, kBadInput);
  return -1;
}

// Step 2: the log, the run folder and the safe copies; step 3: features.
int Advisor::prepareRun() {
  const std::string logPath = output_ + "/advise.log";
  log_ = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (log_ < 0) return fail("cannot write '" + logPath + "'", kBadInput);
  std::string error;
  if (!runFolder_.create(&error)) return fail(error, kEveryRunFailed);
  if (options_.keep) runFolder_.keep();
  if (!writeSafeCopy(advice_.data, runFolder_.file("input.fasta"), &error) ||
      (advice_.referenceMode() &&
       !writeSafeReference(reference_, runFolder_.file("ref.fasta"), &error))) {
    return fail(error, kEveryRunFailed);
  }
  OF = t_OF();
  FRONT = t_Front();
  std::string input = runFolder_.file("input.fasta");
  std::vector<char> path(input.begin(), input.end());
  path.push_back('\0');
  if (extractFeatures2(path.data()) != 0) return fail("cannot read back '" + input + "'", 1);
  std::copy(OF.rows[0].feature, OF.rows[0].feature + 10, advice_.features);
  return -1;
}

// Step 4.
void Advisor::assemble() {
  std::vector<std::string> warnings;
  selectFromTable(advice_.tablePath, &advice_.nearest, &warnings);
  selectFromFront(advice_.frontPath, options_.aligners, &advice_.front, &warnings);
  listFrontEntries(options_.aligners, advice_.front, &advice_.frontPoints);
  for (const std::string& w : warnings) std::cerr << "alnadvise: warning: " << w << std::endl;
  CandidateSources sources;
  sources.sequences = static_cast<int>(advice_.data.size());
  sources.aligners = options_.aligners;
  sources.nearest = advice_.nearest;
  sources.front = advice_.front;
  for (const Candidate& c : assembleCandidates(sources)) {
    CandidateResult r;
    r.candidate = c;
    r.status = "not run";
    results_.push_back(r);
  }
}

void Advisor::progress(const CandidateResult& r) {
  ++finished_;
  if (options_.quiet) return;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", r.seconds);
  std::string what;
  if (r.valid) {
    what = std::string("done in ") + seconds + " s";
  } else if (r.status == "timed out") {
    char limit[32];
    std::snprintf(limit, sizeof limit, "%g", options_.timeoutSeconds);
    what = std::string("timed out after ") + limit + " s";
  } else {
    what = r.status;
  }
  std::cerr << "[" << finished_ << "/" << planned_ << "] " << describe(r) << ": " << what
            << std::endl;
}

void Advisor::record(CandidateResult& r, const JobOutcome& outcome, int fileIndex) {
  r.ran = true;
  r.seconds = outcome.seconds;
  switch (outcome.status) {
    case JobStatus::kTimedOut:
      r.status = "timed out";
      return;
    case JobStatus::kInterrupted:
      r.status = "interrupted";
      return;
    case JobStatus::kFailed:
      r.status = "failed (" + outcome.why + ")";
      return;
    case JobStatus::kDone:
      break;
  }
  RunnerResult runner;
  if (!parseRunnerResult(outcome.result, &runner)) {
    r.status = "failed (no result from the run)";
    return;
  }
  std::string why;
  if (!validateAlignment(runFile(fileIndex), advice_.data, &r.rows, &why)) {
    r.status = "failed (invalid alignment: " + why + ")";
    r.rows.clear();
    return;
  }
  if (advice_.referenceMode()) {
    if (runner.scoreA < 0 || runner.scoreB < 0 || !std::isfinite(runner.scoreA + runner.scoreB)) {
      r.status = "failed (scoring)";
      r.rows.clear();
      return;
    }
    r.hasQ = true;
    r.q = runner.scoreA;
    r.tc = runner.scoreB;
    if (runner.elapsed >= 0) r.seconds = runner.elapsed / 1e6;
  }
  r.valid = true;
  r.status = "done";
}

// Step 5.
bool Advisor::runCandidates() {
  const std::string input = runFolder_.file("input.fasta");
  // Without a reference the runner's scoring must fail: a path never written.
  const std::string ref = advice_.referenceMode() ? runFolder_.file("ref.fasta")
                                                  : runFolder_.file("no-reference.fasta");
  std::vector<size_t> queue;
  for (size_t i = 0; i < results_.size(); ++i) {
    CandidateResult& r = results_[i];
    const char* program = alignerProgram(r.candidate.configuration.kind);
    if (!hasProgram(advice_.toolsFolder, program)) {
      r.status = std::string("missing ") + program;
      continue;
    }
    queue.push_back(i);
  }
  std::stable_sort(queue.begin(), queue.end(), [&](size_t a, size_t b) {
    return expectedCost(results_[a].candidate.configuration, advice_.data) >
           expectedCost(results_[b].candidate.configuration, advice_.data);
  });
  planned_ = results_.size() + (options_.merge ? 1 : 0);
  if (!options_.quiet) {
    std::cerr << "alnadvise: " << advice_.data.size() << " sequences; " << results_.size()
              << " candidates" << (options_.merge ? " and a merge" : "") << ", " << options_.jobs
              << " at a time; log in " << output_ << "/advise.log" << std::endl;
  }
  for (CandidateResult& r : results_)
    if (r.status != "not run") progress(r);

  std::vector<JobWork> jobs;
  for (size_t i : queue) {
    jobs.push_back(alignerJob(advice_.toolsFolder, input, ref, results_[i].candidate.configuration,
                              results_[i].candidate.id + kFirstCandidateFile - 1));
  }
  JobPoolSettings settings;
  settings.maxJobs = options_.jobs;
  settings.timeoutSeconds = options_.timeoutSeconds;
  settings.outputFd = log_;
  std::vector<JobOutcome> outcomes;
  const Clock::time_point poolStart = Clock::now();
  double handling = 0;
  const bool completed = runJobs(
      jobs, settings,
      [&](size_t j, const JobOutcome& o) {
        const Clock::time_point t = Clock::now();
        CandidateResult& r = results_[queue[j]];
        record(r, o, r.candidate.id + kFirstCandidateFile - 1);
        progress(r);
        handling += secondsSince(t);
      },
      &outcomes);
  poolSeconds_ += secondsSince(poolStart) - handling;
  return completed;
}

std::vector<size_t> Advisor::rankOf(const std::vector<CandidateResult>& results) const {
  std::vector<RankInput> inputs;
  for (const CandidateResult& r : results) {
    RankInput in;
    in.valid = r.valid;
    in.hasScore = advice_.referenceMode() ? r.hasQ : r.hasAgreement;
    in.scoreA = advice_.referenceMode() ? r.q : r.agreement;
    in.scoreB = advice_.referenceMode() ? r.tc : 0;
    in.seconds = r.seconds;
    inputs.push_back(in);
  }
  return rankResults(inputs);
}

// Step 6.
bool Advisor::runMerge() {
  CandidateResult merge;
  merge.candidate.id = static_cast<int>(results_.size()) + 1;
  merge.candidate.configuration.kind = kMergeKind;
  scoreByAgreement();  // the three best without a reference are the most agreed on
  std::vector<size_t> order = rankOf(results_);
  std::vector<size_t> inputs;
  for (size_t i : order)
    if (results_[i].valid && inputs.size() < 3) inputs.push_back(i);
  if (inputs.size() < 3) {
    if (!options_.quiet)
      std::cerr << "alnadvise: no merge: fewer than three candidates produced an alignment"
                << std::endl;
    --planned_;
    return true;
  }
  std::string names;
  for (size_t k = 0; k < 3; ++k) {
    const CandidateResult& in = results_[inputs[k]];
    merge.mergeInputs.push_back(in.candidate.id);
    names += (k ? ", #" : "#") + std::to_string(in.candidate.id);
    merge.candidate.configuration.options += (k ? " #" : "#") + std::to_string(in.candidate.id);
  }
  merge.candidate.reasons.push_back("merge of " + names);
  merge.status = "not run";

  std::error_code ec;
  bool staged = true;
  for (int k = 1; k <= 3; ++k) {
    const int from =
        results_[inputs[static_cast<size_t>(k - 1)]].candidate.id + kFirstCandidateFile - 1;
    fs::copy_file(runFile(from), runFile(k), fs::copy_options::overwrite_existing, ec);
    staged = staged && !ec;
  }
  fs::remove(runFile(4), ec);
  fs::remove(runFile(4) + ".dnd", ec);
  if (!hasProgram(advice_.toolsFolder, alignerProgram(kMergeKind))) {
    merge.status = std::string("missing ") + alignerProgram(kMergeKind);
    progress(merge);
    results_.push_back(merge);
    return true;
  }
  if (!staged) {
    merge.status = "failed (cannot stage its inputs)";
    progress(merge);
    results_.push_back(merge);
    return true;
  }
  const std::string ref = advice_.referenceMode() ? runFolder_.file("ref.fasta")
                                                  : runFolder_.file("no-reference.fasta");
  JobPoolSettings settings;
  settings.maxJobs = 1;
  settings.timeoutSeconds = options_.timeoutSeconds;
  settings.outputFd = log_;
  std::vector<JobOutcome> outcomes;
  const Clock::time_point poolStart = Clock::now();
  const bool completed = runJobs(
      {mergeJob(advice_.toolsFolder, runFolder_.file("input.fasta"), ref)}, settings,
      [](size_t, const JobOutcome&) {}, &outcomes);
  poolSeconds_ += secondsSince(poolStart);
  record(merge, outcomes[0], 4);
  progress(merge);
  results_.push_back(merge);
  return completed;
}

// Step 7 without a reference. The merge is no independent opinion: it is
// left out of every other candidate's mean, and its own mean runs over the
// candidates that are not among its inputs.
void Advisor::scoreByAgreement() {
  if (advice_.referenceMode()) return;
  std::vector<std::string> names;
  for (size_t i = 0; i < advice_.data.size(); ++i) names.push_back(safeName(i));
  std::vector<AgreementEntry> entries(results_.size());
  for (size_t i = 0; i < results_.size(); ++i) {
    const CandidateResult& r = results_[i];
    entries[i].rows = r.valid ? &r.rows : nullptr;
    entries[i].id = r.candidate.id;
    entries[i].isMerge = r.candidate.configuration.kind == kMergeKind;
    entries[i].mergeInputs = r.mergeInputs;
  }
  scoreAgreement(names, &entries);
  for (size_t i = 0; i < results_.size(); ++i) {
    results_[i].hasAgreement = entries[i].hasAgreement;
    results_[i].agreement = entries[i].agreement;
  }
}

// Step 8.
void Advisor::rankAndWrite() {
  std::vector<size_t> order = rankOf(results_);
  int rank = 0;
  for (size_t i : order) {
    CandidateResult r = results_[i];
    if (r.valid) r.rank = ++rank;
    advice_.results.push_back(r);
  }
  std::error_code ec;
  fs::create_directories(output_ + "/alignments", ec);
  for (CandidateResult& r : advice_.results) {
    if (!r.valid) continue;
    const bool merge = r.candidate.configuration.kind == kMergeKind;
    r.file = merge ? "alignments/merge.fasta"
                   : "alignments/" + std::to_string(r.candidate.id) + "-" +
                         alignerName(r.candidate.configuration.kind) + ".fasta";
    std::string error;
    if (!writeFileAtomically(output_ + "/" + r.file, alignedFasta(advice_.data.names, r.rows),
                             &error)) {
      std::cerr << "alnadvise: " << error << std::endl;
      r.file.clear();
      writeFailed_ = true;
    }
  }
  if (!advice_.results.empty() && advice_.results[0].valid) advice_.bestIndex = 0;
}

int Advisor::finish() {
  std::error_code ec;
  const std::string best = output_ + "/best.fasta";
  fs::remove(best, ec);
  std::string error;
  bool ok = !writeFailed_;
  if (advice_.bestIndex >= 0) {
    const CandidateResult& b = advice_.results[0];
    if (!writeFileAtomically(best, alignedFasta(advice_.data.names, b.rows), &error)) {
      std::cerr << "alnadvise: " << error << std::endl;
      ok = false;
    }
  }
  for (const CandidateResult& r : advice_.results)
    if (r.ran) advice_.runSeconds += r.seconds;
  advice_.wallSeconds = secondsSince(start_);
  advice_.overheadSeconds = advice_.wallSeconds - poolSeconds_;
  const std::string tsv = formatTsv(advice_), json = formatJson(advice_);
  if (!writeFileAtomically(output_ + "/report.tsv", tsv, &error) ||
      !writeFileAtomically(output_ + "/report.json", json, &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  // The page embeds the very text of report.json.
  if (options_.html &&
      !writeFileAtomically(output_ + "/report.html", formatHtml(json, advice_), &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  switch (options_.format) {
    case OutputFormat::kTable:
      std::cout << formatTable(advice_);
      break;
    case OutputFormat::kTsv:
      std::cout << tsv;
      break;
    case OutputFormat::kJson:
      std::cout << json;
      break;
  }
  // A report that did not reach standard output (a full disk, a closed
  // pipe) is a failure, not advice given.
  if (!std::cout.flush()) {
    std::cerr << "alnadvise: cannot write standard output" << std::endl;
    ok = false;
  }
  if (options_.keep) std::cerr << "alnadvise: run folder kept: " << runFolder_.path() << std::endl;
  if (log_ >= 0) ::close(log_);
  if (advice_.bestIndex < 0)
    return fail("every run failed; see " + output_ + "/advise.log", kEveryRunFailed);
  if (!ok) return fail("the results could not all be written", kEveryRunFailed);
  if (!options_.quiet) {
    std::cerr << "alnadvise: best: " << describe(advice_.results[0]) << " -> " << best << std::endl;
  }
  return kAdviceGiven;
}

int Advisor::interrupted() {
  const int signal = SignalGuard::caught();
  runFolder_.remove();
  if (log_ >= 0) ::close(log_);
  std::cerr << "alnadvise: interrupted; runs stopped" << std::endl;
  return 128 + (signal > 0 ? signal : SIGINT);
}

}  // namespace

int runAdvisor(const AdviseOptions& options) {
  Advisor advisor(options);
  return advisor.run();
}

}  // namespace alnadvise
