#include "aligners/scoring.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "getChar.h"

std::string scorerCommand(const std::string& testFile, const std::string& referenceFile) {
  return "./bin/qscore -test " + testFile + " -ref " + referenceFile +
         " -seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname -quiet";
}

bool readScoreReport(const std::string& report, double& scoreA, double& scoreB) {
  std::vector<std::string> tokens;
  boost::algorithm::split(tokens, report, boost::algorithm::is_any_of("=;"),
                          boost::algorithm::token_compress_off);
  if (tokens.size() < 8) return false;
  scoreA = std::strtod(tokens[5].c_str(), nullptr);
  scoreB = std::strtod(tokens[7].c_str(), nullptr);
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
  scoreA = -1.0;
  scoreB = -1.0;
  elapsed = -1.0;
}
