// Writing files so that a failure never leaves a half-written one behind,
// and the aligned FASTA text every program writes.
#ifndef RUNS_FILE_OUTPUT_H
#define RUNS_FILE_OUTPUT_H

#include <string>
#include <vector>

namespace runs {

// Writes text to a temporary file beside path and renames it over path once
// every byte is written and the file is closed. On failure the temporary file
// is removed, path is left as it was, and *error names the path and the cause.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string* error);

// Aligned FASTA: ">" name, then the row 60 characters a line.
std::string alignedFasta(const std::vector<std::string>& names,
                         const std::vector<std::string>& rows);

}  // namespace runs

#endif
