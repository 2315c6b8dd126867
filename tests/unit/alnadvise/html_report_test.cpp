// The report page as the advisor writes it: the embedded data must read back
// as report.json and the winning alignment whatever the names hold, and the
// page must load nothing from elsewhere.
#include "alnadvise/html_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>

#include "alnadvise/report_writers.h"

namespace alnadvise {
namespace {

using advice::CandidateResult;
using nlohmann::json;

// The text of the element that starts with open, up to its </script>.
std::string element(const std::string& page, const std::string& open) {
  const size_t at = page.find(open);
  if (at == std::string::npos) return "";
  const size_t from = at + open.size();
  return page.substr(from, page.find("</script>", from) - from);
}

size_t count(std::string text, const std::string& what) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

Advice adviceWithNames(const std::vector<std::string>& names) {
  Advice advice;
  advice.data.path = "/data/set.fasta";
  advice.data.names = names;
  CandidateResult best;
  best.candidate.id = 3;
  best.candidate.configuration.kind = 2;
  best.candidate.reasons = {"default"};
  best.valid = true;
  best.status = "done";
  best.rank = 1;
  for (size_t i = 0; i < names.size(); ++i) {
    advice.data.residues.push_back("ACDE");
    best.rows.push_back(i % 2 ? "AC-DE" : "ACDE-");
  }
  advice.results = {best};
  advice.bestIndex = 0;
  return advice;
}

TEST(HtmlReport, EmbeddedDataReadsBackWhateverTheNamesHold) {
  const std::vector<std::string> names = {"</script><script>alert(1)</script>",
                                          "<!-- <script>",
                                          "</SCRIPT >",
                                          "a & b \"c\" 'd'",
                                          "$(touch x); `id`",
                                          std::string(200, 'n'),
                                          "/*@REPORT_JS@*/ @ALIGNMENT_JSON@",
                                          "bad \xff byte"};
  const Advice advice = adviceWithNames(names);
  const std::string reportJson = formatJson(advice);
  const std::string page = formatHtml(reportJson, advice);

  // Only the page's own three script elements close; no comment but its own.
  EXPECT_EQ(count(page, "</script"), 3u);
  EXPECT_EQ(count(page, "<!--"), 1u);
  const std::string embedded =
      element(page, "<script type=\"application/json\" id=\"report-data\">");
  EXPECT_EQ(embedded.find('<'), std::string::npos);
  EXPECT_EQ(json::parse(embedded), json::parse(reportJson));
  const json alignment =
      json::parse(element(page, "<script type=\"application/json\" id=\"alignment-data\">"));
  EXPECT_EQ(alignment["candidateId"], 3);
  EXPECT_EQ(alignment["rows"], json(advice.results[0].rows));
  EXPECT_EQ(alignment["names"], json::parse(reportJson)["dataSet"]["names"]);
  EXPECT_EQ(alignment["names"][0], names[0]);
  EXPECT_EQ(alignment["names"][7], "bad \xEF\xBF\xBD byte");  // replaced, as in report.json
  // The script is in once, after the data, and the markers are all used.
  EXPECT_EQ(count(page, "window.alnreport"), 1u);
  EXPECT_LT(page.find("id=\"alignment-data\""), page.find("window.alnReport"));
  EXPECT_EQ(count(page, "/*@report_css@*/"), 0u);
}

TEST(HtmlReport, SelfContainedAndWithoutAlignmentWhenEveryRunFailed) {
  Advice advice = adviceWithNames({"a", "b"});
  advice.results[0].valid = false;
  advice.bestIndex = -1;
  const std::string page = formatHtml(formatJson(advice), advice);
  EXPECT_EQ(element(page, "<script type=\"application/json\" id=\"alignment-data\">"), "null");
  // Nothing that would fetch: no external scripts, styles, images or fonts.
  for (const char* fetch : {" src=", "<link", "@import", "url(", "fetch(", "xmlhttprequest"})
    EXPECT_EQ(count(page, fetch), 0u) << fetch;
  EXPECT_EQ(count(page, "content-security-policy"), 1u);
}

}  // namespace
}  // namespace alnadvise
