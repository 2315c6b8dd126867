#include "aligners/scoring.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "getChar.h"

std::string scorerCommand(const std::string& testFile, const std::string& referenceFile) {
  return "./bin/qscore -test " + testFile + " -ref " + referenceFile +
         " -seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname -quiet";
}

namespace {

// The number of a field "<name>=<number>"; the number must take the whole
// rest of the field and be finite.
bool namedNumber(const std::string& field, const std::string& name, double& value) {
  if (field.compare(0, name.size(), name) != 0 || field.size() == name.size()) return false;
  const char* text = field.c_str() + name.size();
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(number)) return false;
  value = number;
  return true;
}

}  // namespace

bool readScoreReport(const std::string& report, double& scoreA, double& scoreB) {
  // The report is one line: Test=<path>;Ref=<path>;Q=<number>;TC=<number>.
  // The scores are found by name from the end, as the paths may hold "=".
  std::string line = report;
  if (!line.empty() && line.back() == '\n') line.pop_back();
  std::vector<std::string> fields;
  boost::algorithm::split(fields, line, boost::algorithm::is_any_of(";"),
                          boost::algorithm::token_compress_off);
  const size_t n = fields.size();
  double q = 0, tc = 0;
  if (n < 4 || !namedNumber(fields[n - 2], "Q=", q) || !namedNumber(fields[n - 1], "TC=", tc)) {
    return false;
  }
  scoreA = q;
  scoreB = tc;
  return true;
}

void scoreRunOutput(const std::string& outputFile, const std::string& referenceFile, double& scoreA,
                    double& scoreB, double& elapsed) {
  // Only an existence check: the file is not read, and stays open while the
  // scorer runs.
  std::ifstream output(outputFile.c_str());
  if (output.is_open() &&
      readScoreReport(exec(scorerCommand(outputFile, referenceFile)), scoreA, scoreB)) {
    return;
  }
  failRun(scoreA, scoreB, elapsed);
}

void failRun(double& scoreA, double& scoreB, double& elapsed) {
  scoreA = -1.0;
  scoreB = -1.0;
  elapsed = -1.0;
}
