// Writing the side files of the data set extraction: each entry opens its
// file, writes, and closes it again, so no file stays open between entries.
#ifndef GETCHAR_SIDE_FILES_H
#define GETCHAR_SIDE_FILES_H

#include <string>

// Replaces the content of `path` with `entry`. On failure writes one warning
// line naming the path on standard error and returns false.
bool writeSideFile(const std::string& path, const std::string& entry);

// Appends `entry` to `path`, creating it when missing. Failures as above.
bool appendSideFile(const std::string& path, const std::string& entry);

// Writes `line` to standard output at once, bypassing stream buffers.
void writeStdoutNow(const std::string& line);

#endif
