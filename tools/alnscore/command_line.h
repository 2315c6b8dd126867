// The alnscore command: options, the report line and the run.
#ifndef ALNSCORE_COMMAND_LINE_H
#define ALNSCORE_COMMAND_LINE_H

#include <cstdio>
#include <string>
#include <vector>

#include "scoring/score.h"

namespace alnscore {

struct CommandLine {
  std::string testPath;
  std::string referencePath;
  scoring::ScoreOptions options;
  bool quiet = false;
};

// Parses the arguments after the program name. Options:
//   -test <file> -ref <file>  (both required)
//   -seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname -quiet
bool parseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error);

// "Test=<test>;Ref=<ref>;Q=<q>;TC=<tc>" and a line feed, the numbers as
// printf's %.3g writes them. Paths holding '=' or ';' are written as they
// are, which shifts the fields for a reader that cuts at those characters.
std::string formatReport(const std::string& testPath, const std::string& referencePath, double q,
                         double tc);

// Runs the whole command: the report goes to out; errors, warnings and
// (without -quiet) a summary go to err. Returns the exit status: 0, or 1
// after an error, in which case nothing is written to out.
int runAlnscore(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace alnscore

#endif
