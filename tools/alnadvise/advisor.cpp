#include "advisor.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "advice/budget.h"
#include "alignment_outputs.h"
#include "confidence_outputs.h"
#include "html_report.h"
#include "output_folder.h"
#include "report_writers.h"
#include "runs/aligner_names.h"
#include "runs/file_output.h"
#include "runs/job_pool.h"
#include "runs/run_verdict.h"
#include "runs/signal_guard.h"

namespace alnadvise {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using advice::Advice;
using advice::CandidateResult;

int fail(const std::string& message, int status) {
  std::cerr << "alnadvise: " << message << std::endl;
  return status;
}

std::string describe(const CandidateResult& r) {
  return r.candidate.configuration.kind == runs::kMergeKind
             ? "MERGE of " + r.candidate.configuration.options
             : r.candidate.configuration.label();
}

// Progress on standard error.
class Progress : public advice::AdviceObserver {
 public:
  Progress(const AdviseOptions& options, const std::string& output)
      : options_(options), output_(output) {}

  void planned(const Advice& advice, size_t candidates, bool merge, int jobs) override {
    printWarnings(advice);
    start_ = Clock::now();
    expectedWall_ = advice.budget.expectedWallSeconds;
    if (options_.quiet) return;
    const advice::BudgetReport& b = advice.budget;
    std::cerr << "alnadvise: " << advice.data.size() << " sequences; " << candidates
              << " candidates" << (merge ? " and a merge" : "") << ", " << jobs
              << " at a time, expected " << advice::formatDuration(b.expectedWallSeconds);
    if (b.seconds > 0)
      std::cerr << " within a budget of " << advice::formatDuration(b.seconds)
                << (b.byDefault ? " (effort " + b.effort + ", from MAFFT --auto's expected " +
                                      advice::formatDuration(b.mafftAutoSeconds) + ")"
                                : std::string());
    std::cerr << "; log in " << output_ << "/advise.log" << std::endl;
  }

  // The warnings not yet printed (those of the runs come after planned).
  void printWarnings(const Advice& advice) {
    for (; warned_ < advice.warnings.size(); ++warned_)
      std::cerr << "alnadvise: warning: " << advice.warnings[warned_] << std::endl;
  }

  void leftOut(const CandidateResult& r) override {
    if (!options_.quiet) std::cerr << "alnadvise: " << describe(r) << ": " << r.status << std::endl;
  }

  void finished(const CandidateResult& r, size_t done, size_t planned) override {
    if (options_.quiet) return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", r.seconds);
    std::string what;
    const std::string expected =
        r.expectedSeconds > 0 ? " (expected " + advice::formatDuration(r.expectedSeconds) + ")"
                              : std::string();
    const std::string elapsed = "; " + advice::formatDuration(runs::secondsSince(start_)) +
                                " of an expected " + advice::formatDuration(expectedWall_);
    if (r.valid) {
      what = std::string("done in ") + seconds + " s" + expected + elapsed;
    } else if (r.status == runs::kStatusTimedOut) {
      char limit[32];
      std::snprintf(limit, sizeof limit, "%g", options_.timeoutSeconds);
      what = std::string("timed out after ") + limit + " s";
    } else {
      what = r.status + (r.ran ? " after " + std::string(seconds) + " s" + expected : "");
    }
    std::cerr << "[" << done << "/" << planned << "] " << describe(r) << ": " << what << std::endl;
  }

  void noMerge(const std::string& why) override {
    if (!options_.quiet) std::cerr << "alnadvise: no merge: " << why << std::endl;
  }

 private:
  Clock::time_point start_ = Clock::now();
  double expectedWall_ = 0;
  size_t warned_ = 0;
  const AdviseOptions& options_;
  const std::string& output_;
};

// alignments/<id>-<ALIGNER>.fasta for every valid result; false when one
// could not be written (its file is then empty in the reports).
bool writeAlignments(Advice& advice, const std::string& output) {
  std::error_code ec;
  fs::create_directories(output + "/alignments", ec);
  bool ok = true;
  for (CandidateResult& r : advice.results) {
    if (!r.valid) continue;
    const bool merge = r.candidate.configuration.kind == runs::kMergeKind;
    r.file = merge ? "alignments/merge.fasta"
                   : "alignments/" + std::to_string(r.candidate.id) + "-" +
                         runs::alignerName(r.candidate.configuration.kind) + ".fasta";
    std::string error;
    if (!runs::writeFileAtomically(output + "/" + r.file,
                                   runs::alignedFasta(advice.data.names, r.rows), &error)) {
      std::cerr << "alnadvise: " << error << std::endl;
      r.file.clear();
      ok = false;
    }
  }
  return ok;
}

// best.fasta and the reports; false when one could not be written.
bool writeReports(const AdviseOptions& options, const Advice& advice, const std::string& output) {
  std::error_code ec;
  const std::string best = output + "/best.fasta";
  fs::remove(best, ec);
  std::string error;
  bool ok = true;
  if (advice.bestIndex >= 0 &&
      !runs::writeFileAtomically(
          best, runs::alignedFasta(advice.data.names, advice.results[0].rows), &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  for (scoring::TextFormat format : options.alignmentFormats)
    fs::remove(output + "/" + bestFileName(format), ec);
  fs::remove(output + "/" + kPhylipNameMap, ec);
  if (advice.bestIndex >= 0 && ok &&
      !writeBestFormats(options.alignmentFormats, output, advice.data.names,
                        advice.results[0].rows, advice.confidence, &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  std::string warning;
  if (advice.bestIndex >= 0 && ok &&
      !writeConfidenceOutputs(output, advice.data.names, advice.results[0].rows,
                              advice.confidence, options.mask, options.trim, &warning, &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  if (!warning.empty()) std::cerr << "alnadvise: warning: " << warning << std::endl;
  const std::string tsv = formatTsv(advice), json = formatJson(advice, options.alignmentFormats);
  if (!runs::writeFileAtomically(output + "/report.tsv", tsv, &error) ||
      !runs::writeFileAtomically(output + "/report.json", json, &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  // The page embeds the very text of report.json.
  if (options.html &&
      !runs::writeFileAtomically(output + "/report.html", formatHtml(json, advice), &error)) {
    std::cerr << "alnadvise: " << error << std::endl;
    ok = false;
  }
  switch (options.format) {
    case OutputFormat::kTable:
      std::cout << formatTable(advice);
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
  return ok;
}

}  // namespace

int runAdvisor(const AdviseOptions& options) {
  const Clock::time_point start = Clock::now();
  runs::SignalGuard guard;
  advice::Advisor advisor(options);
  std::string error;
  if (!advisor.checkInputs(&error)) return fail(error, kBadInput);
  const std::string output =
      options.outputFolder.empty() ? defaultOutputFolder(options.dataSet) : options.outputFolder;
  OutputFolderLock lock;
  if (!prepareOutputFolder(output, options.force, &lock, &error)) return fail(error, kBadInput);
  const std::string logPath = output + "/advise.log";
  const int log =
      ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (log < 0) return fail("cannot write '" + logPath + "'", kBadInput);

  Progress progress(options, output);
  const advice::AdviceOutcome outcome = advisor.run(log, progress, &error);
  if (outcome != advice::AdviceOutcome::kDone) ::close(log);
  if (outcome == advice::AdviceOutcome::kFailed) return fail(error, kEveryRunFailed);
  if (outcome == advice::AdviceOutcome::kInterrupted) {
    const int signal = runs::SignalGuard::caught();
    std::cerr << "alnadvise: interrupted; runs stopped" << std::endl;
    return 128 + (signal > 0 ? signal : SIGINT);
  }

  Advice& advice = advisor.advice();
  progress.printWarnings(advice);
  if (!options.quiet && !advice.budget.firstPickNote.empty())
    std::cerr << "alnadvise: " << advice.budget.firstPickNote << std::endl;
  if (!options.quiet && !advice.choiceNote.empty())
    std::cerr << "alnadvise: " << advice.choiceNote << std::endl;
  bool ok = writeAlignments(advice, output);
  advice.wallSeconds = runs::secondsSince(start);
  advice.overheadSeconds = advice.wallSeconds - advisor.poolSeconds();
  ok = writeReports(options, advice, output) && ok;
  if (options.keep)
    std::cerr << "alnadvise: run folder kept: " << advisor.runFolderPath() << std::endl;
  ::close(log);
  if (advice.bestIndex < 0)
    return fail("every run failed; see " + output + "/advise.log", kEveryRunFailed);
  if (!ok) return fail("the results could not all be written", kEveryRunFailed);
  if (!options.quiet)
    std::cerr << "alnadvise: best: " << describe(advice.results[0]) << " -> " << output
              << "/best.fasta" << std::endl;
  return kAdviceGiven;
}

}  // namespace alnadvise
