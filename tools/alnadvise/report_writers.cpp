#include "report_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "alignment_outputs.h"
#include "runs/aligner_names.h"
#include "runs/text_format.h"

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif

namespace alnadvise {

using advice::CandidateResult;
using advice::FrontPick;
using advice::NearestReference;
using runs::alignerName;
using runs::fixed;

namespace {

// Keys keep the order written here, which is the order a reader expects.
using json = nlohmann::ordered_json;

std::string joined(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? separator : "") + parts[i];
  return out;
}

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

// The columns of one result, as text; NA where there is no value.
std::vector<std::string> columns(const CandidateResult& r) {
  return {r.rank > 0 ? std::to_string(r.rank) : "NA",
          alignerName(r.candidate.configuration.kind),
          r.candidate.configuration.options.empty() ? "NA" : r.candidate.configuration.options,
          joined(r.candidate.reasons, "; "),
          r.hasQ ? fixed(r.q, 3) : "NA",
          r.hasQ ? fixed(r.tc, 3) : "NA",
          r.hasAgreement ? fixed(r.agreement, 3) : "NA",
          r.hasPredicted ? fixed(r.predicted, 3) : "NA",
          r.ran ? fixed(r.seconds, 2) : "NA",
          r.status,
          r.file.empty() ? "NA" : r.file};
}

const std::vector<std::string> kHeader = {"rank",      "aligner",   "options", "reason",
                                          "Q",         "TC",        "agreement", "predicted",
                                          "seconds",   "status",    "file"};

json number(bool has, double value) { return has && std::isfinite(value) ? json(value) : json(); }

json features(const double* f) { return json(std::vector<double>(f, f + 10)); }

// Which estimator ranked without a reference, and the model's own record.
json estimator(const Advice& advice) {
  if (advice.referenceMode())
    return {{"name", "reference"}, {"model", nullptr}, {"crossValidation", nullptr}};
  if (advice.estimator != advice::Estimator::kLearned)
    return {{"name", "agreement"}, {"model", nullptr}, {"crossValidation", nullptr}};
  const advice::ChoiceModel& m = advice.model;
  return {{"name", "learned"},
          {"model", advice.modelPath},
          {"crossValidation",
           {{"folds", m.folds},
            {"dataSets", m.crossValidatedSets},
            {"learnedQ", m.learnedQ},
            {"agreementQ", m.agreementQ},
            {"learnedSpearman", m.learnedSpearman},
            {"agreementSpearman", m.agreementSpearman}}}};
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
  return {{"seconds", b.seconds > 0 ? json(b.seconds) : json()},
          {"byDefault", b.byDefault},
          {"mafftAutoExpectedSeconds", b.mafftAutoSeconds},
          {"expectedWallSeconds", b.expectedWallSeconds},
          {"costModel", b.costModelPath},
          {"leftOut", leftOut},
          {"merge", {{"planned", b.merge}, {"why", b.mergeWhy.empty() ? json() : json(b.mergeWhy)}}}};
}

}  // namespace

std::string formatTsv(const Advice& advice) {
  std::string out = joined(kHeader, "\t") + "\n";
  for (const CandidateResult& r : advice.results) {
    std::vector<std::string> cells = columns(r);
    for (std::string& c : cells) c = oneLine(c);
    out += joined(cells, "\t") + "\n";
  }
  return out;
}

std::string formatTable(const Advice& advice) {
  const size_t kMaxWidth = 44;
  std::vector<std::vector<std::string>> rows{kHeader};
  for (const CandidateResult& r : advice.results) {
    std::vector<std::string> cells = columns(r);
    for (std::string& c : cells) {
      c = oneLine(c);
      if (c.size() > kMaxWidth) c = c.substr(0, kMaxWidth - 3) + "...";
    }
    rows.push_back(cells);
  }
  std::vector<size_t> width(kHeader.size(), 0);
  for (const auto& row : rows)
    for (size_t i = 0; i < row.size(); ++i) width[i] = std::max(width[i], row[i].size());
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(width[i] - row[i].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::string formatJson(const Advice& advice, const std::vector<scoring::TextFormat>& bestFormats) {
  json j;
  j["program"] = "alnadvise";
  j["version"] = GETCHAR_VERSION;
  j["dataSet"] = {{"path", advice.data.path},
                  {"sequences", advice.data.size()},
                  {"distinctSequences", advice.data.distinctSequences},
                  {"meanLength", advice.data.meanLength()},
                  {"names", advice.data.names},
                  {"features", features(advice.features)}};
  j["reference"] = advice.referenceMode() ? json(advice.referencePath) : json();
  j["mode"] = advice.referenceMode() ? "reference" : "agreement";
  j["estimator"] = estimator(advice);
  json nearest = json::array();
  for (const NearestReference& n : advice.nearest) {
    nearest.push_back({{"rank", n.rank},
                       {"name", n.name},
                       {"features", features(n.features)},
                       {"aligner", alignerName(n.configuration.kind)},
                       {"options", n.configuration.options},
                       {"distance", number(true, n.distance)}});
  }
  j["nearestReferences"] = nearest;
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
  j["front"] = {{"path", advice.frontPath}, {"entries", entries}, {"points", points}};
  json candidates = json::array();
  for (const CandidateResult& r : advice.results) {
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
    if (!r.mergeInputs.empty()) item["mergeInputs"] = r.mergeInputs;
    candidates.push_back(item);
  }
  j["candidates"] = candidates;
  if (advice.bestIndex >= 0) {
    const CandidateResult& b = advice.results[static_cast<size_t>(advice.bestIndex)];
    json files = {{"fasta", "best.fasta"}};
    for (scoring::TextFormat f : bestFormats)
      files[scoring::formatName(f)] = bestFileName(f);
    j["best"] = {
        {"id", b.candidate.id}, {"file", "best.fasta"}, {"candidateFile", b.file}, {"files", files}};
  } else {
    j["best"] = nullptr;
  }
  j["budget"] = budget(advice);
  j["timing"] = {{"wallSeconds", advice.wallSeconds},
                 {"runSeconds", advice.runSeconds},
                 {"overheadSeconds", advice.overheadSeconds}};
  j["tables"] = {
      {"table", advice.tablePath}, {"front", advice.frontPath}, {"tools", advice.toolsFolder}};
  // Names come from the user's file: invalid UTF-8 is replaced, not fatal.
  return j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace alnadvise
