// alnscore: scores a test alignment against a reference alignment and
// prints "Test=...;Ref=...;Q=...;TC=..." on one line.
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return alnscore::runAlnscore(args, stdout, stderr);
}
