#include "features/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
const size_t kChunk = 1 << 20;
}

LineReader::LineReader(const char* path) {
  fd_ = ::open(path, O_RDONLY | O_CLOEXEC);
  struct stat st;
  // A size of 0 is left open-ended: files of /proc and the like show 0 and
  // still have content, and an empty file ends at its first read anyway.
  if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    left_ = static_cast<uint64_t>(st.st_size);
  }
  // A small file needs no more than its size; the buffer is not cleared.
  if (fd_ >= 0) {
    capacity_ = static_cast<size_t>(std::min<uint64_t>(kChunk, left_));
    buffer_.reset(new char[capacity_]);
  }
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineReader::refill() {
  if (eof_ || left_ == 0) return false;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(capacity_, left_));
  ssize_t got;
  do {
    got = ::read(fd_, buffer_.get(), want);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    eof_ = true;
    failed_ = got < 0;
    return false;
  }
  if (left_ != UINT64_MAX) left_ -= static_cast<uint64_t>(got);
  begin_ = 0;
  end_ = static_cast<size_t>(got);
  return true;
}

bool LineReader::next(std::string_view& line) {
  if (fd_ < 0) return false;
  carry_.clear();
  bool carrying = false;
  for (;;) {
    if (begin_ == end_ && !refill()) {
      if (!carrying) return false;
      line = carry_;  // last line without a line feed
      return true;
    }
    const char* start = buffer_.get() + begin_;
    size_t avail = end_ - begin_;
    const void* nl = std::memchr(start, '\n', avail);
    if (nl) {
      size_t len = static_cast<size_t>(static_cast<const char*>(nl) - start);
      begin_ += len + 1;
      if (!carrying) {
        line = std::string_view(start, len);
      } else {
        carry_.append(start, len);
        line = carry_;
      }
      return true;
    }
    carry_.append(start, avail);
    carrying = true;
    begin_ = end_;
  }
}
