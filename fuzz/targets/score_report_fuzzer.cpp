// The runner's reading of the scorer's report: scores come back only as
// finite numbers, and a report without them leaves both results alone.
#include <cmath>
#include <string>

#include "aligners/scoring.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string report(fuzz::text(data, size));
  const double untouched = -12345.5;
  double q = untouched, tc = untouched;
  if (readScoreReport(report, q, tc)) {
    fuzz::check(std::isfinite(q) && std::isfinite(tc), "a score that is not a finite number");
    fuzz::check(report.find("Q=") != std::string::npos && report.find("TC=") != std::string::npos,
                "scores from a report without Q= and TC=");
  } else {
    fuzz::check(q == untouched && tc == untouched, "a failed read changed the results");
  }
  return 0;
}
