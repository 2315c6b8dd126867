// Where the programs find the aligners and their shipped data when no option
// names them: beside an installed executable, or in the build and source
// folders.
#ifndef RUNS_TOOL_LOCATIONS_H
#define RUNS_TOOL_LOCATIONS_H

#include <string>

namespace runs {

// The folder of the running executable (from /proc/self/exe); "" if unknown.
std::string executableFolder();

// The tools folder: explicit if not empty, else $GETCHAR_TOOLS_DIR, else
// <exe>/../libexec/getChar/tools (installed), else <exe>/tools (the build
// folder). The first candidate that exists wins; if none does, the last
// candidate tried is returned, so the message names a real place to look.
std::string findToolsFolder(const std::string& explicitFolder);

// A shipped data file (reference-table.txt, front.txt): explicit if not
// empty, else <exe>/../share/getChar/<name> (installed), else
// <exe>/data/<name> (the build folder's link to the source tree's data/,
// named by the real path it leads to).
std::string findDataFile(const std::string& explicitPath, const std::string& name);

// True when folder holds bin/ and lib/, the layout scripts/install-aligners
// makes.
bool looksLikeToolsFolder(const std::string& folder);

// True when folder/relative is an executable regular file (links followed).
bool hasProgram(const std::string& folder, const std::string& relative);

}  // namespace runs

#endif
