#include "html_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "report_page_template.h"

namespace alnadvise {

using advice::CandidateResult;

std::string jsonForScript(const std::string& jsonText) {
  std::string out;
  out.reserve(jsonText.size() + jsonText.size() / 16);
  for (char c : jsonText) {
    if (c == '<')
      out += "\\u003c";
    else
      out += c;
  }
  return out;
}

std::string alignmentJson(const Advice& advice) {
  if (advice.bestIndex < 0) return "null";
  const CandidateResult& best = advice.results[static_cast<size_t>(advice.bestIndex)];
  // A page of a large family shows its first rows: best.fasta has them all.
  const size_t shown = std::min(best.rows.size(), kPageMaxRows);
  const std::vector<std::string> names(advice.data.names.begin(),
                                       advice.data.names.begin() + static_cast<long>(shown));
  const std::vector<std::string> rows(best.rows.begin(),
                                      best.rows.begin() + static_cast<long>(shown));
  const nlohmann::json j = {{"candidateId", best.candidate.id},
                            {"names", names},
                            {"rows", rows},
                            {"totalRows", best.rows.size()}};
  // The same replacement of invalid UTF-8 as report.json's.
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string formatHtml(const std::string& reportJson, const Advice& advice) {
  // Each marker is looked up in the template only, never in what replaced an
  // earlier one, so data that spells a marker stays data.
  const std::string page = kReportPageHtml;
  const std::pair<const char*, std::string> parts[] = {
      {"/*@REPORT_CSS@*/", kReportPageCss},
      {"@REPORT_JSON@", jsonForScript(reportJson)},
      {"@ALIGNMENT_JSON@", jsonForScript(alignmentJson(advice))},
      {"/*@REPORT_JS@*/", kReportPageJs},
  };
  std::string out;
  size_t from = 0;
  for (const auto& part : parts) {
    const size_t at = page.find(part.first, from);
    if (at == std::string::npos)
      throw std::logic_error(std::string("report page template lacks ") + part.first);
    out.append(page, from, at - from);
    out += part.second;
    from = at + std::char_traits<char>::length(part.first);
  }
  out.append(page, from, std::string::npos);
  return out;
}

}  // namespace alnadvise
