// Running one shell command with its standard output on a pipe.
#include <sys/time.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "aligners/pipe_reader.h"
#include "getChar.h"

std::string exec(std::string command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "ERROR";
  std::string text = readPipeToEnd(pipe);
  pclose(pipe);
  return text;
}

void execAligner(std::string command, double& elapsed) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return;
  struct timeval start, end;
  gettimeofday(&start, nullptr);
  readPipeToEnd(pipe);
  gettimeofday(&end, nullptr);
  // The wait for the child's exit inside pclose is not part of the run.
  int64_t micros = (static_cast<int64_t>(end.tv_sec) - start.tv_sec) * 1000000 +
                   (static_cast<int64_t>(end.tv_usec) - start.tv_usec);
  elapsed = static_cast<double>(micros);
  pclose(pipe);
}
