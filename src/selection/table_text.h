// Line cutting, field conversion and messages shared by the readers of the
// two ";"-separated text tables: the option file and the front file.
#ifndef GETCHAR_SELECTION_TABLE_TEXT_H
#define GETCHAR_SELECTION_TABLE_TEXT_H

#include <string>
#include <vector>

// Cuts a line at every ";". Adjacent separators give an empty field; nothing
// is trimmed, quoted or escaped, so a carriage return stays in the last field.
std::vector<std::string> splitTableLine(const std::string& line);

// Standard library conversions of one field: the longest valid prefix, 0 when
// there is none. The label and aligner kind are narrowed from long to int.
double fieldToDouble(const std::string& field);
int fieldToInt(const std::string& field);

// "Error opening '<path>'. Bailing out." on standard error.
void reportOpenFailure(const std::string& path);

// "Warning: '<path>' line <N>: <found> fields, <expected> expected; line
// skipped." on standard error.
void reportShortLine(const std::string& path, long lineNumber, size_t found, size_t expected);

// "Warning: '<path>' line <N>: the <what> is full (<capacity>); the rest of
// the file is not read." on standard error.
void reportTableFull(const std::string& path, long lineNumber, const std::string& what,
                     const std::string& capacity);

#endif
