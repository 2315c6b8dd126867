#include "evaluation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "alignment.h"
#include "candidate_runs.h"
#include "content_hash.h"
#include "file_output.h"
#include "genome.h"
#include "getChar.h"
#include "job_pool.h"
#include "output_folder.h"

namespace alntrain {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using alnadvise::secondsSince;

struct Planned {
  size_t set;
  alnadvise::Configuration configuration;
  int fileIndex;
  bool record;  // false: made again only for its alignment
};

}  // namespace

std::string Evaluator::alignmentPath(size_t set,
                                     const alnadvise::Configuration& configuration) const {
  Fnv1a64 options;
  options.add(configuration.options);
  return settings_.alignmentFolder + "/" + sets_[set].hash + "/" +
         std::to_string(configuration.kind) + "-" + hex16(options.value()) + ".fasta";
}

bool Evaluator::loadAlignment(size_t set, const alnadvise::Configuration& configuration,
                              std::vector<std::string>* rows) const {
  if (settings_.alignmentFolder.empty()) return false;
  std::vector<std::string> checked;
  std::string why;
  if (!alnadvise::validateAlignment(alignmentPath(set, configuration), sets_[set].data, &checked,
                                    &why))
    return false;
  *rows = std::move(checked);
  return true;
}

EnsureStatus Evaluator::ensure(const std::vector<RunRequest>& requests, bool needAlignments,
                               std::string* error) {
  std::vector<Planned> plan;
  std::unordered_set<std::string> planned;
  for (const RunRequest& r : requests) {
    const BenchmarkSet& set = sets_[r.set];
    const std::string key = set.hash + "\t" + configurationKey(r.configuration);
    if (planned.count(key)) continue;
    const RunRecord* known = cache_.find(set.hash, r.configuration);
    const bool timedOutShort = known && known->timedOut() && settings_.timeoutSeconds > 0 &&
                               known->seconds + 1e-6 < settings_.timeoutSeconds;
    const bool timedOutNoLimit = known && known->timedOut() && settings_.timeoutSeconds <= 0;
    bool record = known == nullptr || timedOutShort || timedOutNoLimit;
    bool again = false;
    if (!record && needAlignments && known->valid() && !settings_.alignmentFolder.empty() &&
        !fs::exists(alignmentPath(r.set, r.configuration)))
      again = true;
    if (!record && !again) continue;
    planned.insert(key);
    plan.push_back({r.set, r.configuration, 0, record});
  }
  if (plan.empty()) return EnsureStatus::kDone;
  std::stable_sort(plan.begin(), plan.end(), [&](const Planned& a, const Planned& b) {
    return alnadvise::expectedCost(a.configuration, sets_[a.set].data) >
           alnadvise::expectedCost(b.configuration, sets_[b.set].data);
  });
  std::vector<alnadvise::JobWork> jobs;
  for (Planned& p : plan) {
    p.fileIndex = static_cast<int>(nextFile_++);
    if (nextFile_ > 1000000) nextFile_ = 5;
    const BenchmarkSet& set = sets_[p.set];
    const alnadvise::JobWork run = alnadvise::alignerJob(
        settings_.toolsFolder, set.safeInput, set.safeReference, p.configuration, p.fileIndex);
    const int sequences = static_cast<int>(set.data.size());
    jobs.push_back([run, sequences] {
      nSequencesInput = sequences;  // the runner picks large-input settings by it
      return run();
    });
  }

  alnadvise::JobPoolSettings pool;
  pool.maxJobs = settings_.jobs;
  pool.timeoutSeconds = settings_.timeoutSeconds;
  pool.outputFd = settings_.logFd;
  bool writeFailed = false;
  double handling = 0;
  std::vector<alnadvise::JobOutcome> outcomes;
  const Clock::time_point start = Clock::now();
  const bool completed = alnadvise::runJobs(
      jobs, pool,
      [&](size_t j, const alnadvise::JobOutcome& o) {
        const Clock::time_point t = Clock::now();
        const Planned& p = plan[j];
        const BenchmarkSet& set = sets_[p.set];
        const std::string out = settings_.runFolder + "/fasta" + std::to_string(p.fileIndex) +
                                std::to_string(pid_) + std::to_string(time_);
        RunRecord r;
        r.hash = set.hash;
        r.dataSet = set.name;
        r.configuration = p.configuration;
        r.seconds = o.seconds;
        std::vector<std::string> rows;
        alnadvise::RunnerResult runner;
        std::string why;
        switch (o.status) {
          case alnadvise::JobStatus::kInterrupted:
            r.status.clear();
            break;
          case alnadvise::JobStatus::kTimedOut:
            r.status = "timed out";
            r.seconds = settings_.timeoutSeconds;
            break;
          case alnadvise::JobStatus::kFailed:
            r.status = "failed (" + o.why + ")";
            break;
          case alnadvise::JobStatus::kDone:
            if (!alnadvise::parseRunnerResult(o.result, &runner)) {
              r.status = "failed (no result from the run)";
            } else if (!alnadvise::validateAlignment(out, set.data, &rows, &why)) {
              r.status = "failed (invalid alignment: " + why + ")";
            } else if (runner.scoreA < 0 || runner.scoreB < 0 || runner.scoreA > 1 ||
                       runner.scoreB > 1 || !std::isfinite(runner.scoreA + runner.scoreB)) {
              r.status = "failed (scoring)";
            } else {
              r.status = "done";
              r.q = runner.scoreA;
              r.tc = runner.scoreB;
              if (runner.elapsed >= 0) {
                r.seconds = runner.elapsed / 1e6;
                stats_.alignerSeconds += r.seconds;
              }
            }
            break;
        }
        std::error_code ignored;
        for (const char* tail : {"", ".input", ".dnd"}) fs::remove(out + tail, ignored);
        if (o.status != alnadvise::JobStatus::kInterrupted) stats_.childSeconds += o.seconds;
        if (!r.status.empty() && !writeFailed) {
          if (r.valid() && !settings_.alignmentFolder.empty()) {
            const std::string path = alignmentPath(p.set, p.configuration);
            fs::create_directories(fs::path(path).parent_path(), ignored);
            std::vector<std::string> names;
            for (size_t i = 0; i < set.data.size(); ++i) names.push_back(alnadvise::safeName(i));
            if (!alnadvise::writeFileAtomically(path, alnadvise::alignedFasta(names, rows), error))
              writeFailed = true;
          }
          if (!writeFailed && p.record) {
            if (!cache_.append(r, error)) {
              writeFailed = true;
            } else {
              ++stats_.runsMade;
              if (onRun) onRun(r);
            }
          }
        }
        handling += secondsSince(t);
      },
      &outcomes);
  stats_.poolSeconds += secondsSince(start) - handling;
  stats_.handlingSeconds += handling;
  if (writeFailed) return EnsureStatus::kWriteFailed;
  return completed ? EnsureStatus::kDone : EnsureStatus::kInterrupted;
}

}  // namespace alntrain
