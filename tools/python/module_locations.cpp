#include "module_locations.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "runs/tool_locations.h"

#ifndef GETCHAR_MODULE_TO_PREFIX
#define GETCHAR_MODULE_TO_PREFIX "../../../.."
#endif
#ifndef GETCHAR_LIBEXECDIR
#define GETCHAR_LIBEXECDIR "libexec"
#endif
#ifndef GETCHAR_DATADIR
#define GETCHAR_DATADIR "share"
#endif

namespace fs = std::filesystem;

namespace getchar_module {

namespace {

// The folder this module was loaded from; "" if unknown.
std::string moduleFolder() {
  Dl_info info;
  if (::dladdr(reinterpret_cast<void*>(&moduleFolder), &info) == 0 || !info.dli_fname) return "";
  std::error_code ec;
  const fs::path self = fs::canonical(info.dli_fname, ec);
  return ec ? "" : self.parent_path().string();
}

std::string canonicalOrSame(const std::string& path) {
  std::error_code ec;
  const fs::path real = fs::canonical(path, ec);
  return ec ? fs::path(path).lexically_normal().string() : real.string();
}

bool isRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The first of candidates that passes, named by its real path.
template <typename Test>
Lookup firstOf(const std::vector<std::string>& candidates, Test passes) {
  Lookup l;
  for (const std::string& c : candidates) {
    l.tried.push_back(canonicalOrSame(c));
    if (passes(c)) {
      l.found = l.tried.back();
      break;
    }
  }
  return l;
}

// The folder of the first alnadvise on PATH, links followed; "" if none.
std::string alnadviseOnPathFolder() {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty() || !runs::hasProgram(dir, "alnadvise")) continue;
    std::error_code ec;
    const fs::path exe = fs::canonical(dir + "/alnadvise", ec);
    if (!ec) return exe.parent_path().string();
  }
  return "";
}

}  // namespace

Lookup findModuleDataFile(const std::string& name) {
  const std::string m = moduleFolder();
  if (m.empty()) return Lookup{};
  return firstOf({m + "/data/" + name,
                  m + "/" GETCHAR_MODULE_TO_PREFIX "/" GETCHAR_DATADIR "/getChar/" + name,
#ifdef GETCHAR_MODULE_TO_BUILD
                  m + "/" GETCHAR_MODULE_TO_BUILD "/data/" + name
#endif
                 },
                 isRegularFile);
}

Lookup findModuleToolsFolder() {
  std::vector<std::string> candidates;
  const std::string m = moduleFolder();
  if (!m.empty()) {
    candidates.push_back(m + "/" GETCHAR_MODULE_TO_PREFIX "/" GETCHAR_LIBEXECDIR "/getChar/tools");
#ifdef GETCHAR_MODULE_TO_BUILD
    candidates.push_back(m + "/" GETCHAR_MODULE_TO_BUILD "/tools");
#endif
  }
  const std::string program = alnadviseOnPathFolder();
  if (!program.empty()) {
    candidates.push_back(program + "/../" GETCHAR_LIBEXECDIR "/getChar/tools");
    candidates.push_back(program + "/tools");
  }
  return firstOf(candidates, runs::looksLikeToolsFolder);
}

std::string listPlaces(const std::vector<std::string>& places) {
  std::string out;
  for (size_t i = 0; i < places.size(); ++i)
    out += (i == 0 ? "" : i + 1 == places.size() ? " and " : ", ") + places[i];
  return out.empty() ? "nowhere" : out;
}

}  // namespace getchar_module
