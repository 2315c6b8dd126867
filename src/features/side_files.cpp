#include "features/side_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

namespace {

bool writeAll(int fd, std::string_view data) {
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

}  // namespace

SideFiles::SideFiles(const std::string& dir) : dir_(dir) {
  dirFd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

SideFiles::~SideFiles() {
  if (dirFd_ >= 0) ::close(dirFd_);
}

bool SideFiles::write(std::string_view name, std::string_view entry) {
  return writeEntry(name, entry, O_TRUNC);
}

bool SideFiles::append(std::string_view name, std::string_view entry) {
  return writeEntry(name, entry, O_APPEND);
}

bool SideFiles::writeEntry(std::string_view name, std::string_view entry, int flags) {
  path_.assign(name);
  flags |= O_WRONLY | O_CREAT | O_CLOEXEC;
  // Without the folder handle (it could not be opened) the full path is
  // tried, which then fails and is reported like any other failure.
  int fd = dirFd_ >= 0 ? ::openat(dirFd_, path_.c_str(), flags, 0666)
                       : ::open((dir_ + "/" + path_).c_str(), flags, 0666);
  bool ok = fd >= 0 && writeAll(fd, entry);
  if (fd >= 0 && ::close(fd) != 0) ok = false;
  if (!ok)
    std::cerr << "Warning: cannot write '" << dir_ << "/" << name << "'; entry skipped."
              << std::endl;
  return ok;
}

void writeStdoutNow(std::string_view data) { writeAll(STDOUT_FILENO, data); }
