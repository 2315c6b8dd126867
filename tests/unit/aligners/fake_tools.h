// Stand-ins for the external programs, written into a test's working
// directory: each records its arguments, one a line, in <name>.args there.
#ifndef GETCHAR_TESTS_FAKE_TOOLS_H
#define GETCHAR_TESTS_FAKE_TOOLS_H

#include <sys/stat.h>

#include <string>
#include <vector>

#include "run_workspace.h"
#include "test_support.h"

namespace testing_support {

// ./bin/<name>: records its arguments, then runs body.
inline void writeFakeTool(const std::string& name, const std::string& body) {
  ::mkdir("bin", 0755);
  writeProgram("bin/" + name, "printf '%s\\n' \"$@\" > " + name + ".args\n" + body);
}

// ./bin/qscore: prints the file report.txt of the working directory.
inline void writeFakeScorer(const std::string& report) {
  writeFile("report.txt", report);
  writeFakeTool("qscore", "cat report.txt\n");
}

// The arguments a fake tool was called with; empty when it did not run.
inline std::vector<std::string> recordedArgs(const std::string& name) {
  std::vector<std::string> args;
  std::string text = readFile(name + ".args"), line;
  for (char c : text) {
    if (c == '\n') {
      args.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  return args;
}

inline bool ran(const std::string& name) { return fileExists(name + ".args"); }

}  // namespace testing_support

#endif  // GETCHAR_TESTS_FAKE_TOOLS_H
