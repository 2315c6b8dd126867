// The reports of an advice: report.tsv, report.json and the ranked table
// for a person.
#ifndef ALNADVISE_REPORT_WRITERS_H
#define ALNADVISE_REPORT_WRITERS_H

#include <string>

#include "advice/advice.h"
#include "scoring/alignment_formats.h"

namespace alnadvise {

using advice::Advice;

// Header "rank aligner options reason Q TC agreement seconds status file"
// (tab-separated), one line per result in ranked order; NA for a missing
// value, scores with 3 decimals, seconds with 2. Tabs and line ends in a
// field become blanks.
std::string formatTsv(const Advice& advice);

// The same columns aligned for reading, options and reasons shortened.
std::string formatTable(const Advice& advice);

// report.json (advice/report_json.h, shared with the Python module);
// best.files lists best.fasta and the best alignment's other formats.
std::string formatJson(const Advice& advice,
                       const std::vector<scoring::TextFormat>& bestFormats = {});

}  // namespace alnadvise

#endif
