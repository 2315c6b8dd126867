#include "selection/table_text.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <cstdlib>
#include <iostream>

namespace {
void reportUnreadable(const std::string& path) {
  std::cerr << "Error opening '" << path << "'. Bailing out." << std::endl;
}
}  // namespace

TableReader::TableReader(const std::string& path, size_t minFields)
    : path_(path), minFields_(minFields), in_(path), opened_(in_.good()) {
  if (!opened_) reportUnreadable(path);
}

bool TableReader::next(std::vector<std::string>& fields) {
  if (!opened_) return false;
  // getline also hands out a last line that has no line feed.
  while (std::getline(in_, line_)) {
    ++lineNumber_;
    boost::algorithm::split(fields, line_, boost::algorithm::is_any_of(";"),
                            boost::algorithm::token_compress_off);
    if (fields.size() >= minFields_) return true;
    std::cerr << "Warning: '" << path_ << "' line " << lineNumber_ << ": " << fields.size()
              << " fields, " << minFields_ << " expected; line skipped." << std::endl;
  }
  // The stream turns bad, not just failed, when a read of the file fails.
  if (in_.bad() && !failed_) {
    failed_ = true;
    reportUnreadable(path_);
  }
  return false;
}

void TableReader::reportFull(const char* what, const char* capacity) const {
  std::cerr << "Warning: '" << path_ << "' line " << lineNumber_ << ": the " << what << " is full ("
            << capacity << "); the rest of the file is not read." << std::endl;
}

double fieldToDouble(const std::string& field) { return std::strtod(field.c_str(), nullptr); }

int fieldToInt(const std::string& field) {
  return static_cast<int>(std::strtol(field.c_str(), nullptr, 10));
}
