#include "training/evaluation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "runs/aligner_jobs.h"
#include "runs/alignment_check.h"
#include "runs/file_output.h"
#include "runs/job_pool.h"
#include "runs/run_folder.h"
#include "runs/run_verdict.h"
#include "runs/tool_locations.h"
#include "scoring/alignment.h"
#include "training/content_hash.h"
#include "training/genome.h"

namespace training {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using runs::secondsSince;

}  // namespace

Evaluator::Evaluator(const std::vector<BenchmarkSet>& sets, RunCache& cache,
                     const RunSettings& settings)
    : sets_(sets), cache_(cache), settings_(settings) {
  std::string ignored;
  if (!advice::readCostModel(runs::findDataFile("", "cost-model.json"), &costModel_, &ignored))
    costModel_ = advice::CostModel();
}

std::string Evaluator::alignmentPath(size_t set, const runs::Configuration& configuration) const {
  Fnv1a64 options;
  options.add(configuration.options);
  return settings_.alignmentFolder + "/" + sets_[set].hash + "/" +
         std::to_string(configuration.kind) + "-" + hex16(options.value()) + ".fasta";
}

bool Evaluator::loadAlignment(size_t set, const runs::Configuration& configuration,
                              std::vector<std::string>* rows) const {
  if (settings_.alignmentFolder.empty()) return false;
  std::vector<std::string> checked;
  std::string why;
  if (!runs::validateAlignment(alignmentPath(set, configuration), sets_[set].data, &checked, &why))
    return false;
  *rows = std::move(checked);
  return true;
}

std::vector<Evaluator::Planned> Evaluator::plan(const std::vector<RunRequest>& requests,
                                                bool needAlignments) const {
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
  auto expected = [&](const Planned& p) {
    const runs::DataSet& data = sets_[p.set].data;
    return advice::expectedSeconds(costModel_, p.configuration, static_cast<int>(data.size()),
                                   data.meanLength(), static_cast<double>(data.longest()));
  };
  std::stable_sort(plan.begin(), plan.end(),
                   [&](const Planned& a, const Planned& b) { return expected(a) > expected(b); });
  return plan;
}

bool Evaluator::finish(const Planned& p, const runs::JobOutcome& outcome, std::string* error) {
  const BenchmarkSet& set = sets_[p.set];
  const std::string out = runs::runFile(p.fileIndex);
  runs::RunVerdict verdict = runs::judgeRun(outcome, out, set.data, true);
  std::error_code ignored;
  for (const char* tail : {"", ".input", ".dnd"}) fs::remove(out + tail, ignored);
  if (outcome.status == runs::JobStatus::kInterrupted) return true;  // not a result
  stats_.childSeconds += outcome.seconds;
  RunRecord r;
  r.hash = set.hash;
  r.dataSet = set.name;
  r.configuration = p.configuration;
  r.status = verdict.status;
  r.seconds = verdict.seconds;
  // A timed-out run counts the whole limit.
  if (outcome.status == runs::JobStatus::kTimedOut) r.seconds = settings_.timeoutSeconds;
  if (verdict.valid) {
    r.q = verdict.q;
    r.tc = verdict.tc;
    if (verdict.alignerTimed) stats_.alignerSeconds += r.seconds;
    if (!settings_.alignmentFolder.empty()) {
      const std::string path = alignmentPath(p.set, p.configuration);
      fs::create_directories(fs::path(path).parent_path(), ignored);
      std::vector<std::string> names;
      for (size_t i = 0; i < set.data.size(); ++i) names.push_back(runs::safeName(i));
      if (!runs::writeFileAtomically(path, runs::alignedFasta(names, verdict.rows), error))
        return false;
    }
  }
  if (!p.record) return true;
  if (!cache_.append(r, error)) return false;
  ++stats_.runsMade;
  if (onRun) onRun(r);
  return true;
}

EnsureStatus Evaluator::ensure(const std::vector<RunRequest>& requests, bool needAlignments,
                               std::string* error) {
  std::vector<Planned> planned = plan(requests, needAlignments);
  if (planned.empty()) return EnsureStatus::kDone;
  std::vector<runs::JobWork> jobs;
  for (Planned& p : planned) {
    p.fileIndex = static_cast<int>(nextFile_++);
    if (nextFile_ > 1000000) nextFile_ = runs::kFirstRunFile;
    const BenchmarkSet& set = sets_[p.set];
    jobs.push_back(runs::alignerJob(settings_.toolsFolder, set.safeInput, set.safeReference,
                                    p.configuration, p.fileIndex,
                                    static_cast<int>(set.data.size())));
  }
  runs::JobPoolSettings pool;
  pool.maxJobs = settings_.jobs;
  pool.timeoutSeconds = settings_.timeoutSeconds;
  pool.outputFd = settings_.logFd;
  bool writeFailed = false;
  double handling = 0;
  std::vector<runs::JobOutcome> outcomes;
  const Clock::time_point start = Clock::now();
  const bool completed = runs::runJobs(
      jobs, pool,
      [&](size_t j, const runs::JobOutcome& o) {
        const Clock::time_point t = Clock::now();
        if (!writeFailed && !finish(planned[j], o, error)) writeFailed = true;
        handling += secondsSince(t);
      },
      &outcomes);
  stats_.poolSeconds += secondsSince(start) - handling;
  stats_.handlingSeconds += handling;
  if (writeFailed) return EnsureStatus::kWriteFailed;
  return completed ? EnsureStatus::kDone : EnsureStatus::kInterrupted;
}

}  // namespace training
