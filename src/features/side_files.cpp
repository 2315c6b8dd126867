#include "features/side_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

namespace {

bool writeAll(int fd, const std::string& data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool writeEntry(const std::string& path, const std::string& entry, int flags) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
  bool ok = fd >= 0 && writeAll(fd, entry);
  if (fd >= 0 && ::close(fd) != 0) ok = false;
  if (!ok) std::cerr << "Warning: cannot write '" << path << "'; entry skipped." << std::endl;
  return ok;
}

}  // namespace

bool writeSideFile(const std::string& path, const std::string& entry) {
  return writeEntry(path, entry, O_TRUNC);
}

bool appendSideFile(const std::string& path, const std::string& entry) {
  return writeEntry(path, entry, O_APPEND);
}

void writeStdoutNow(const std::string& line) { writeAll(STDOUT_FILENO, line); }
