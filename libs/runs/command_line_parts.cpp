#include "runs/command_line_parts.h"

#include <iostream>

#include "runs/aligner_names.h"

namespace runs {

const char kAllAligners[] = "clustalw,dialign-tx,kalign,mafft,muscle";

int parseToolCommandLine(CLI::App& app, int argc, char** argv, const std::string& tool,
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

bool parseAlignersOption(const std::string& tool, const std::string& text,
                         std::vector<int>* kinds) {
  std::string error;
  if (parseAlignerList(text, kinds, &error)) return true;
  std::cerr << tool << ": --aligners: " << error << std::endl;
  return false;
}

}  // namespace runs
