#include "report_writers.h"

#include <algorithm>

#include "advice/report_json.h"
#include "alignment_outputs.h"
#include "runs/aligner_names.h"
#include "runs/text_format.h"

namespace alnadvise {

using advice::CandidateResult;
using runs::alignerName;
using runs::fixed;

namespace {

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
  std::vector<std::pair<std::string, std::string>> files;
  for (scoring::TextFormat f : bestFormats) {
    files.emplace_back(scoring::formatName(f), bestFileName(f));
    if (f == scoring::TextFormat::kPhylip) files.emplace_back("phylipNames", kPhylipNameMap);
  }
  return advice::formatJson(advice, files);
}

}  // namespace alnadvise
