// The command-line handling that alnadvise and alntrain share: CLI11's
// parse with --help and --version answered the same way by both.
#ifndef ALNADVISE_TOOL_COMMAND_LINE_H
#define ALNADVISE_TOOL_COMMAND_LINE_H

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

namespace alnadvise {

// Parses argv into app. --help prints the help; --version (a flag bound to
// `version`) prints "<tool> <release>", also when the rest of the line does
// not parse; a parse error is one line on standard error. Returns -1 to go
// on, otherwise the exit status: 0, or badUsage.
inline int parseToolCommandLine(CLI::App& app, int argc, char** argv, const std::string& tool,
                                const std::string& release, const bool& version, int badUsage) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::ParseError& e) {
    if (!version) {
      std::cerr << tool << ": " << e.what() << " (see " << tool << " --help)" << std::endl;
      return badUsage;
    }
  }
  if (version) {
    std::cout << tool << " " << release << std::endl;
    return 0;
  }
  return -1;
}

}  // namespace alnadvise

#endif
