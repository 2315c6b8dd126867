// report.html: the page a person opens to see the ranking and the winning
// alignment. One self-contained file: its style and script are compiled in
// (report_page_template.h) and its data is report.json's own text plus the
// winning alignment, each in a <script type="application/json"> element, so
// the page and report.json never disagree and nothing is loaded from
// elsewhere.
#ifndef ALNADVISE_HTML_REPORT_H
#define ALNADVISE_HTML_REPORT_H

#include <string>

#include "advice/advice.h"

namespace alnadvise {

using advice::Advice;

// JSON text made safe inside a <script> element: every '<' becomes \u003c
// (it only occurs inside strings, so the text stays the same JSON), so no
// "</script" or "<!--" from a sequence name can end or alter the element.
std::string jsonForScript(const std::string& jsonText);

// The page shows at most this many rows of the winning alignment.
const size_t kPageMaxRows = 2000;

// The winning alignment as the page reads it: {"candidateId", "names",
// "rows", "totalRows"} with the first kPageMaxRows rows of best.fasta in
// record order; null when no run produced an alignment.
std::string alignmentJson(const Advice& advice);

// The whole page. reportJson is the text written to report.json.
std::string formatHtml(const std::string& reportJson, const Advice& advice);

}  // namespace alnadvise

#endif
