#include "features/side_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

namespace {

// Writes all of `data`; `written` counts the bytes that reached the file, also
// when a later write fails.
bool writeAll(int fd, std::string_view data, size_t& written) {
  written = 0;
  while (written < data.size()) {
    ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return true;
}

// Cuts a file opened for appending back to its size before the last
// `written` bytes: an append leaves the file offset at the end of its data.
bool cutBack(int fd, size_t written) {
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  return end >= static_cast<off_t>(written) &&
         ::ftruncate(fd, end - static_cast<off_t>(written)) == 0;
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
  const bool appending = (flags & O_APPEND) != 0;
  flags |= O_WRONLY | O_CREAT | O_CLOEXEC;
  // Without the folder handle (it could not be opened) the full path is
  // tried, which then fails and is reported like any other failure.
  int fd = dirFd_ >= 0 ? ::openat(dirFd_, path_.c_str(), flags, 0666)
                       : ::open((dir_ + "/" + path_).c_str(), flags, 0666);
  bool ok = false;
  if (fd >= 0) {
    // An entry is on disk whole or not at all: a failed or short append is
    // cut off again, and a file of its own that was not written whole goes.
    size_t written = 0;
    ok = writeAll(fd, entry, written);
    bool clean = true;  // nothing of a skipped entry is left
    if (!ok && appending && written > 0) clean = cutBack(fd, written);
    if (::close(fd) != 0) ok = false;
    if (!ok && !appending) clean = removeFile();
    if (!clean) {
      std::cerr << "Warning: cannot remove the part of an entry written to '" << dir_ << "/" << name
                << "'." << std::endl;
    }
  }
  if (!ok)
    std::cerr << "Warning: cannot write '" << dir_ << "/" << name << "'; entry skipped."
              << std::endl;
  return ok;
}

bool SideFiles::removeFile() {
  return (dirFd_ >= 0 ? ::unlinkat(dirFd_, path_.c_str(), 0)
                      : ::unlink((dir_ + "/" + path_).c_str())) == 0;
}
