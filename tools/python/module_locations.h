// Where the Python module finds the aligners and the shipped data. The
// running program is python3, so the programs' own search beside their
// executable (runs/tool_locations.h) finds nothing: the module searches
// beside itself, in the places it is installed or built. The build folder's
// places are left out of the module pip installs (GETCHAR_MODULE_TO_BUILD
// undefined): they would name folders of the Python installation.
#ifndef GETCHAR_MODULE_LOCATIONS_H
#define GETCHAR_MODULE_LOCATIONS_H

#include <string>
#include <vector>

namespace getchar_module {

// What a search found ("" for nothing) and every place it looked, in order.
struct Lookup {
  std::string found;
  std::vector<std::string> tried;
};

// A shipped data file (reference-table.txt, front.txt, the models):
//   <module>/data/<name>                     the package pip installs ships them
//   <module>/<to prefix>/share/getChar/<name> a cmake --install prefix
//   <module>/<to build>/data/<name>           the build folder
Lookup findModuleDataFile(const std::string& name);

// The aligners laid out by scripts/install-aligners ($GETCHAR_TOOLS_DIR is
// the library's business and comes first):
//   <module>/<to prefix>/libexec/getChar/tools  a cmake --install prefix
//   <module>/<to build>/tools                   the build folder
//   the folder the first alnadvise on PATH uses: <its folder>/../libexec/getChar/tools,
//   or <its folder>/tools (the build folder's)
Lookup findModuleToolsFolder();

// "a, b and c" for a message.
std::string listPlaces(const std::vector<std::string>& places);

}  // namespace getchar_module

#endif
