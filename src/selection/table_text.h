// Reading the two ";"-separated text tables, the option file and the front
// file: line cutting, field conversion and the messages they share.
#ifndef GETCHAR_SELECTION_TABLE_TEXT_H
#define GETCHAR_SELECTION_TABLE_TEXT_H

#include <fstream>
#include <string>
#include <vector>

// Hands out the lines of a table file cut into fields. A line is cut at every
// ";": adjacent separators give an empty field; nothing is trimmed, quoted or
// escaped, so a carriage return stays in the last field. A last line without
// a line feed is read like any other.
class TableReader {
 public:
  // Opens the file; on failure writes "Error opening '<path>'. Bailing out."
  // on standard error.
  TableReader(const std::string& path, size_t minFields);
  bool opened() const { return opened_; }

  // Stores the next line's fields and returns true, or returns false at the
  // end. A line with fewer than minFields fields is skipped with one warning
  // line naming the file and the line number. A read error (a folder, EIO)
  // also gives false, writes the message of a file that cannot be opened and
  // sets failed().
  bool next(std::vector<std::string>& fields);
  bool failed() const { return failed_; }

  // Warns that the current line finds the table full ("the <what> is full
  // (<capacity>)"); the caller then stops reading.
  void reportFull(const char* what, const char* capacity) const;

 private:
  std::string path_;
  size_t minFields_;
  std::ifstream in_;
  bool opened_;
  bool failed_ = false;
  long lineNumber_ = 0;
  std::string line_;
};

// Standard library conversions of one field: the longest valid prefix, 0 when
// there is none. The label and aligner kind are narrowed from long to int.
double fieldToDouble(const std::string& field);
int fieldToInt(const std::string& field);

#endif
