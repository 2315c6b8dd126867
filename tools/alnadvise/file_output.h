// Writing files so that a failure never leaves a half-written one behind.
#ifndef ALNADVISE_FILE_OUTPUT_H
#define ALNADVISE_FILE_OUTPUT_H

#include <string>

namespace alnadvise {

// Writes text to a temporary file beside path and renames it over path once
// every byte is written and the file is closed. On failure the temporary file
// is removed, path is left as it was, and *error names the path and the cause.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string* error);

}  // namespace alnadvise

#endif
