// report.json: everything known of one advice, as alnadvise writes it into
// its output folder and the Python module returns it.
#ifndef ADVICE_REPORT_JSON_H
#define ADVICE_REPORT_JSON_H

#include <string>

#include "advice/advice.h"

namespace advice {

// Everything a report page needs, pretty-printed JSON.
std::string formatJson(const Advice& advice);

}  // namespace advice

#endif
