// The report page's template, compiled in from tools/alnadvise/report/ by
// cmake/embed_report_page.cmake. report.html holds the markers
// /*@REPORT_CSS@*/, @REPORT_JSON@, @ALIGNMENT_JSON@ and /*@REPORT_JS@*/,
// each once, in that order.
#ifndef ALNADVISE_REPORT_PAGE_TEMPLATE_H
#define ALNADVISE_REPORT_PAGE_TEMPLATE_H

namespace alnadvise {

extern const char* const kReportPageHtml;
extern const char* const kReportPageCss;
extern const char* const kReportPageJs;

}  // namespace alnadvise

#endif
