// Fast buffered reading of a text file line by line.
#ifndef GETCHAR_LINE_READER_H
#define GETCHAR_LINE_READER_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Hands out the lines of a file without their line feed; nothing else is
// removed (a carriage return stays). A last line without a line feed is a line
// like any other. A read error ends the input like the end of the file.
class LineReader {
 public:
  explicit LineReader(const char* path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // False when the file could not be opened.
  bool ok() const { return fd_ >= 0; }

  // Stores the next line in `line` and returns true, or returns false at the
  // end of the input. The view stays valid until the next call.
  bool next(std::string_view& line);

 private:
  bool refill();

  int fd_ = -1;
  bool eof_ = false;
  std::vector<char> buffer_;
  size_t begin_ = 0;   // first unread byte of buffer_
  size_t end_ = 0;     // one past the last valid byte of buffer_
  std::string carry_;  // a line that spans two reads
};

#endif
