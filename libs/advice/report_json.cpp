#include "advice/report_json.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "runs/aligner_names.h"

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif

namespace advice {

using runs::alignerName;

namespace {

// Keys keep the order written here, which is the order a reader expects.
using json = nlohmann::ordered_json;

json number(bool has, double value) { return has && std::isfinite(value) ? json(value) : json(); }

json features(const double* f) { return json(std::vector<double>(f, f + 10)); }

// Which estimator ranked without a reference, and the model's own record.
json estimator(const Advice& advice) {
  if (advice.referenceMode())
    return {{"name", "reference"}, {"model", nullptr}, {"crossValidation", nullptr}};
  if (advice.estimator != advice::Estimator::kLearned)
    return {{"name", advice::estimatorName(advice.estimator)},
            {"model", nullptr},
            {"crossValidation", nullptr}};
  const advice::ChoiceModel& m = advice.model;
  // The effort's own held-out record, when its default budget ran and the
  // model judged it: what this advice may expect against --auto.
  const advice::EffortCheck* e =
      advice.budget.byDefault ? m.findEffort(advice.budget.effort) : nullptr;
  json effort;
  if (e)
    effort = {{"effort", e->effort},         {"dataSets", e->dataSets},
              {"autoQ", e->autoQ},           {"keptQ", e->keptQ},
              {"worseShare", e->worseShare}, {"switchMargin", e->switchMargin},
              {"meanRuns", e->meanRuns}};
  return {{"name", "learned"},
          {"model", advice.modelPath},
          {"crossValidation",
           {{"folds", m.folds},
            {"dataSets", m.crossValidatedSets},
            {"learnedQ", m.learnedQ},
            {"agreementQ", m.agreementQ},
            {"learnedSpearman", m.learnedSpearman},
            {"agreementSpearman", m.agreementSpearman},
            {"effort", effort}}}};
}

// The time budget, and what it left out and why.
json budget(const Advice& advice) {
  const advice::BudgetReport& b = advice.budget;
  json leftOut = json::array();
  for (const CandidateResult& r : advice.results) {
    if (!r.leftOut) continue;
    leftOut.push_back({{"id", r.candidate.id},
                       {"aligner", alignerName(r.candidate.configuration.kind)},
                       {"options", r.candidate.configuration.options},
                       {"expectedSeconds", r.expectedSeconds},
                       {"why", r.status}});
  }
  return {
      {"seconds", b.seconds > 0 ? json(b.seconds) : json()},
      {"byDefault", b.byDefault},
      {"effort", b.effort},
      {"mafftAutoExpectedSeconds", b.mafftAutoSeconds},
      {"firstPick", b.firstPickId > 0
                        ? json({{"id", b.firstPickId},
                                {"expectedSeconds", b.firstPickExpectedSeconds},
                                {"seconds", b.firstPickSeconds},
                                {"slowdown", b.slowdown},
                                {"note", b.firstPickNote.empty() ? json() : json(b.firstPickNote)}})
                        : json()},
      {"deadlineSeconds", b.deadlineSeconds > 0 ? json(b.deadlineSeconds) : json()},
      {"expectedWallSeconds", b.expectedWallSeconds},
      {"costModel", b.costModelPath},
      {"calibration",
       b.calibrationPath.empty()
           ? json()
           : json({{"path", b.calibrationPath}, {"speedFactor", advice.costModel.speedFactor}})},
      {"leftOut", leftOut},
      {"merge", {{"planned", b.merge}, {"why", b.mergeWhy.empty() ? json() : json(b.mergeWhy)}}}};
}

// The data set as read, with its features.
json dataSet(const Advice& advice) {
  return {{"path", advice.data.path},
          {"sequences", advice.data.size()},
          {"distinctSequences", advice.data.distinctSequences},
          {"meanLength", advice.data.meanLength()},
          {"alphabet", runs::alphabetName(advice.data.alphabet)},
          {"names", advice.data.names},
          {"features", features(advice.features)}};
}

json nearestReferences(const Advice& advice) {
  json nearest = json::array();
  for (const NearestReference& n : advice.nearest) {
    nearest.push_back({{"rank", n.rank},
                       {"name", n.name},
                       {"features", features(n.features)},
                       {"aligner", alignerName(n.configuration.kind)},
                       {"options", n.configuration.options},
                       {"distance", number(true, n.distance)}});
  }
  return nearest;
}

// The front's picks (with their roles) and all its points.
json front(const Advice& advice) {
  json entries = json::array();
  for (const FrontPick& p : advice.front) {
    entries.push_back({{"role", p.role},
                       {"objectives", std::vector<double>(p.objectives, p.objectives + 3)},
                       {"aligner", alignerName(p.configuration.kind)},
                       {"options", p.configuration.options}});
  }
  json points = json::array();
  for (const FrontPick& p : advice.frontPoints) {
    points.push_back({{"objectives", std::vector<double>(p.objectives, p.objectives + 3)},
                      {"aligner", alignerName(p.configuration.kind)},
                      {"options", p.configuration.options}});
  }
  return {{"path", advice.frontPath}, {"entries", entries}, {"points", points}};
}

json candidate(const CandidateResult& r) {
  const runs::Configuration& c = r.candidate.configuration;
  json item = {{"id", r.candidate.id},
               {"rank", r.rank > 0 ? json(r.rank) : json()},
               {"aligner", alignerName(c.kind)},
               {"kind", c.kind},
               {"options", c.options},
               {"reasons", r.candidate.reasons},
               {"Q", number(r.hasQ, r.q)},
               {"TC", number(r.hasQ, r.tc)},
               {"agreement", number(r.hasAgreement, r.agreement)},
               {"predictedQ", number(r.hasPredicted, r.predicted)},
               {"seconds", number(r.ran, r.seconds)},
               {"expectedSeconds", number(r.expectedSeconds > 0, r.expectedSeconds)},
               {"status", r.status},
               {"file", r.file.empty() ? json() : json(r.file)}};
  if (r.hasGain)
    item["beforeRunning"] = {{"known", r.gainKnown},
                             {"predictedGainOverMafftAuto", r.predictedGain},
                             {"error", r.gainError},
                             {"expectedImprovement", r.expectedImprovement}};
  if (!r.mergeInputs.empty()) item["mergeInputs"] = r.mergeInputs;
  return item;
}

// The best candidate and its files; null when none succeeded.
json best(const Advice& advice,
          const std::vector<std::pair<std::string, std::string>>& otherBestFiles) {
  if (advice.bestIndex < 0) return nullptr;
  const CandidateResult& b = advice.results[static_cast<size_t>(advice.bestIndex)];
  json files = {{"fasta", "best.fasta"}};
  for (const auto& [format, file] : otherBestFiles) files[format] = file;
  return {
      {"id", b.candidate.id}, {"file", "best.fasta"}, {"candidateFile", b.file}, {"files", files}};
}

// The chosen alignment's column confidence, to three decimals; null for a
// column without a residue pair.
json confidence(const Advice& advice) {
  const Confidence& c = advice.confidence;
  json columns = json::array();
  for (double v : c.columns)
    columns.push_back(std::isnan(v) ? json() : json(std::round(v * 1000) / 1000));
  return {{"known", c.known},
          {"calibrated", c.calibrated},
          {"calibration", advice.confidenceCalibrationPath.empty()
                              ? json()
                              : json(advice.confidenceCalibrationPath)},
          {"note", c.note.empty() ? json() : json(c.note)},
          {"voters", c.voters},
          {"columns", columns}};
}

}  // namespace

std::string formatJson(const Advice& advice,
                       const std::vector<std::pair<std::string, std::string>>& otherBestFiles) {
  json j;
  j["program"] = "alnadvise";
  j["version"] = GETCHAR_VERSION;
  j["dataSet"] = dataSet(advice);
  j["reference"] = advice.referenceMode() ? json(advice.referencePath) : json();
  j["mode"] = advice.referenceMode() ? "reference" : "agreement";
  j["estimator"] = estimator(advice);
  j["nearestReferences"] = nearestReferences(advice);
  j["front"] = front(advice);
  json candidates = json::array();
  for (const CandidateResult& r : advice.results) candidates.push_back(candidate(r));
  j["candidates"] = candidates;
  j["best"] = best(advice, otherBestFiles);
  j["confidence"] = confidence(advice);
  j["choice"] = {{"madeWithout", advice.choiceWithout},
                 {"keptMafftAuto", advice.keptMafftAuto},
                 {"switchMargin", advice.referenceMode() ? json() : json(advice.switchMargin)},
                 {"note", advice.choiceNote.empty() ? json() : json(advice.choiceNote)}};
  j["warnings"] = advice.warnings;
  j["budget"] = budget(advice);
  j["timing"] = {{"wallSeconds", advice.wallSeconds},
                 {"runSeconds", advice.runSeconds},
                 {"overheadSeconds", advice.overheadSeconds}};
  j["tables"] = {{"table", advice.tablePath},
                 {"front", advice.frontPath},
                 {"gainModel", advice.gainModelPath.empty() ? json() : json(advice.gainModelPath)},
                 {"tools", advice.toolsFolder}};
  // Names come from the user's file: invalid UTF-8 is replaced, not fatal.
  return j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace advice
