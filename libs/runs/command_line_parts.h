// The command-line pieces that alnadvise and alntrain share: CLI11's parse
// with --help and --version answered the same way by both, and the
// --aligners list.
#ifndef RUNS_COMMAND_LINE_PARTS_H
#define RUNS_COMMAND_LINE_PARTS_H

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace runs {

// Parses argv into app. --help prints the help; --version (a flag bound to
// `version`) prints "<tool> <release>", also when the rest of the line does
// not parse; a parse error is one line on standard error. Returns -1 to go
// on, otherwise the exit status: 0, or badUsage.
int parseToolCommandLine(CLI::App& app, int argc, char** argv, const std::string& tool,
                         const std::string& release, const bool& version, int badUsage);

// The --aligners default: all five, by the names a user types.
extern const char kAllAligners[];

// Turns the --aligners text into kinds (parseAlignerList); false after one
// line on standard error, "<tool>: --aligners: <why>".
bool parseAlignersOption(const std::string& tool, const std::string& text, std::vector<int>* kinds);

}  // namespace runs

#endif
