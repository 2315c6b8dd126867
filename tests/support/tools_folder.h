// A tools folder for the advisor's tests: bin/ and lib/ entries linking to
// the real folder that scripts/install-aligners laid out (GETCHAR_TOOLS_DIR),
// with some programs left out or replaced by shell scripts.
#ifndef GETCHAR_TESTS_TOOLS_FOLDER_H
#define GETCHAR_TESTS_TOOLS_FOLDER_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include "test_support.h"

namespace testing_support {

inline std::string realToolsFolder() {
  const char* tools = std::getenv("GETCHAR_TOOLS_DIR");
  return tools ? tools : "";
}

// Programs the runner calls under bin/.
inline const char* const* toolPrograms() {
  static const char* const names[] = {"clustalw2", "dialign-tx", "kalign2",   "mafft",
                                      "muscle3.8", "t_coffee",   "qscore",    "probcons",
                                      "clustalo",  "muscle5",    "probalign", nullptr};
  return names;
}

// Lays out folder/bin and folder/lib. A program named in replaced gets the
// shell script body given there ("" leaves it out); the others link to the
// real ones. Returns false when the real folder is unknown.
inline bool makeToolsFolder(const std::string& folder,
                            const std::map<std::string, std::string>& replaced) {
  const std::string real = realToolsFolder();
  if (real.empty()) return false;
  ::mkdir(folder.c_str(), 0755);
  ::mkdir((folder + "/bin").c_str(), 0755);
  if (::symlink((real + "/lib").c_str(), (folder + "/lib").c_str()) != 0) return false;
  for (const char* const* name = toolPrograms(); *name; ++name) {
    const std::string path = folder + "/bin/" + *name;
    auto it = replaced.find(*name);
    if (it == replaced.end()) {
      if (::symlink((real + "/bin/" + *name).c_str(), path.c_str()) != 0) return false;
    } else if (!it->second.empty()) {
      writeFile(path, "#!/bin/sh\n" + it->second);
      ::chmod(path.c_str(), 0755);
    }
  }
  return true;
}

}  // namespace testing_support

#endif  // GETCHAR_TESTS_TOOLS_FOLDER_H
