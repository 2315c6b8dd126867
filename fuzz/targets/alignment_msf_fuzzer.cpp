// The scorer's MSF reader: a row it returns holds no blank and no '~', every
// row has the same length, and every name is one word given once.
#include <set>
#include <string>

#include "fuzz_support.h"
#include "scoring/alignment.h"

namespace {

bool hasBlank(std::string_view s) {
  return s.find_first_of(" \t\r\n\v\f") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::text(data, size);
  scoring::Alignment alignment;
  std::string error;
  const bool parsed = scoring::parseMsf(text, &alignment, &error);
  if (parsed) {
    fuzz::check(!alignment.sequences.empty(), "no rows");
    std::set<std::string> names;
    for (const scoring::AlignedSequence& s : alignment.sequences) {
      fuzz::check(s.row.size() == alignment.columns(), "rows of different lengths");
      fuzz::check(!hasBlank(s.row) && s.row.find('~') == std::string_view::npos, "row text");
      fuzz::check(!s.name.empty() && !hasBlank(s.name), "name");
      fuzz::check(names.insert(s.name).second, "a name given twice");
    }
  } else {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
  }

  scoring::Alignment detected;
  const bool any = scoring::parseAlignment(text, &detected, &error);
  if (scoring::detectFormat(text) == scoring::AlignmentFormat::kMsf) {
    fuzz::check(any == parsed, "the MSF reader chosen by content disagrees");
  }
  return 0;
}
