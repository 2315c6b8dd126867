// Fast buffered reading of a text file line by line.
#ifndef GETCHAR_LINE_READER_H
#define GETCHAR_LINE_READER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Hands out the lines of a file without their line feed; nothing else is
// removed (a carriage return stays). A last line without a line feed is a line
// like any other.
//
// A regular file is read only up to the size it had when it was opened, so a
// file that grows while it is read (a run's own side file given as its input)
// still comes to an end; pipes and other files are read to their end. A read
// error ends the input too, and failed() tells it from the end of the file.
class LineReader {
 public:
  explicit LineReader(const char* path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // False when the file could not be opened.
  bool ok() const { return fd_ >= 0; }
  // The open file, -1 when it could not be opened.
  int fd() const { return fd_; }

  // Stores the next line in `line` and returns true, or returns false at the
  // end of the input or on a read error. The view stays valid until the next
  // call.
  bool next(std::string_view& line);

  // True once a read has failed (EISDIR for a folder, EIO, ...).
  bool failed() const { return failed_; }

 private:
  bool refill();

  int fd_ = -1;
  bool eof_ = false;
  bool failed_ = false;
  uint64_t left_ = UINT64_MAX;  // bytes still to read
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;  // of buffer_
  size_t begin_ = 0;     // first unread byte of buffer_
  size_t end_ = 0;       // one past the last valid byte of buffer_
  std::string carry_;    // a line that spans two reads
};

#endif
