// Reading a whole file: a read error is never taken for its end.
#ifndef RUNS_FILE_INPUT_H
#define RUNS_FILE_INPUT_H

#include <string>

namespace runs {

// The file's bytes; false when it cannot be opened or a read fails.
bool readWholeFile(const std::string& path, std::string* text);

}  // namespace runs

#endif
