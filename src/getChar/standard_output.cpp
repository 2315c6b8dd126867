#include "getChar/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {
int firstError = 0;  // errno of the first failed write of writeStdoutNow
}  // namespace

void writeStdoutNow(std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(STDOUT_FILENO, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (firstError == 0) firstError = errno;
      return;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

void exitChecked(int status) {
  errno = 0;
  std::cout.flush();
  const bool streamFailed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
  if (streamFailed || firstError != 0) {
    const int error = firstError != 0 ? firstError : errno;
    std::cerr << "Error: cannot write standard output"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "."
              << std::endl;
    status = kStandardOutputFailedStatus;
  }
  std::exit(status);
}
