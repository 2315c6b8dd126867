#include "selection/table_text.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <cstdlib>
#include <iostream>

std::vector<std::string> splitTableLine(const std::string& line) {
  std::vector<std::string> fields;
  boost::algorithm::split(fields, line, boost::algorithm::is_any_of(";"),
                          boost::algorithm::token_compress_off);
  return fields;
}

double fieldToDouble(const std::string& field) { return std::strtod(field.c_str(), nullptr); }

int fieldToInt(const std::string& field) {
  return static_cast<int>(std::strtol(field.c_str(), nullptr, 10));
}

void reportOpenFailure(const std::string& path) {
  std::cerr << "Error opening '" << path << "'. Bailing out." << std::endl;
}

void reportShortLine(const std::string& path, long lineNumber, size_t found, size_t expected) {
  std::cerr << "Warning: '" << path << "' line " << lineNumber << ": " << found << " fields, "
            << expected << " expected; line skipped." << std::endl;
}

void reportTableFull(const std::string& path, long lineNumber, const std::string& what,
                     const std::string& capacity) {
  std::cerr << "Warning: '" << path << "' line " << lineNumber << ": the " << what << " is full ("
            << capacity << "); the rest of the file is not read." << std::endl;
}
