// report.json: everything known of one advice, as alnadvise writes it into
// its output folder and the Python module returns it.
#ifndef ADVICE_REPORT_JSON_H
#define ADVICE_REPORT_JSON_H

#include <string>
#include <utility>
#include <vector>

#include "advice/advice.h"

namespace advice {

// Everything a report page needs, pretty-printed JSON. best.files lists
// best.fasta and each (format, file name) of otherBestFiles.
std::string formatJson(const Advice& advice,
                       const std::vector<std::pair<std::string, std::string>>& otherBestFiles = {});

}  // namespace advice

#endif
