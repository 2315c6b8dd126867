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
  for (const Collected& file : collected_) ::close(file.fd);
  if (dirFd_ >= 0) ::close(dirFd_);
}

bool SideFiles::write(std::string_view name, std::string_view entry) {
  const int fd = open(name, O_TRUNC);
  bool ok = false;
  if (fd >= 0) {
    size_t written = 0;
    ok = writeAll(fd, entry, written);
    if (::close(fd) != 0) ok = false;
    // O_TRUNC has emptied the file already: an entry not written whole goes.
    if (!ok && !removeFile(name)) warn(name, "cannot remove the part of an entry written to", ".");
  }
  if (!ok) warn(name, "cannot write", "; entry skipped.");
  return ok;
}

bool SideFiles::append(std::string_view name, std::string_view entry) {
  const int fd = collectedFile(name);
  bool ok = false;
  if (fd >= 0) {
    size_t written = 0;
    ok = writeAll(fd, entry, written);
    if (!ok && written > 0 && !cutBack(fd, written)) {
      warn(name, "cannot remove the part of an entry written to", ".");
    }
  }
  if (!ok) warn(name, "cannot write", "; entry skipped.");
  return ok;
}

void SideFiles::closeCollected() {
  for (const Collected& file : collected_) {
    if (::close(file.fd) != 0) warn(file.name, "cannot close", "; its last entries may be lost.");
  }
  collected_.clear();
}

int SideFiles::open(std::string_view name, int flags) {
  path_.assign(name);
  flags |= O_WRONLY | O_CREAT | O_CLOEXEC;
  // Without the folder handle (it could not be opened) the full path is
  // tried, which then fails and is reported like any other failure.
  return dirFd_ >= 0 ? ::openat(dirFd_, path_.c_str(), flags, 0666)
                     : ::open((dir_ + "/" + path_).c_str(), flags, 0666);
}

int SideFiles::collectedFile(std::string_view name) {
  for (const Collected& file : collected_) {
    if (file.name == name) return file.fd;
  }
  const int fd = open(name, O_APPEND);
  if (fd >= 0) collected_.push_back({std::string(name), fd});
  return fd;
}

bool SideFiles::removeFile(std::string_view name) {
  path_.assign(name);
  return (dirFd_ >= 0 ? ::unlinkat(dirFd_, path_.c_str(), 0)
                      : ::unlink((dir_ + "/" + path_).c_str())) == 0;
}

void SideFiles::warn(std::string_view name, const char* what, const char* after) const {
  std::cerr << "Warning: " << what << " '" << dir_ << "/" << name << "'" << after << std::endl;
}
