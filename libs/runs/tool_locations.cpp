#include "runs/tool_locations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace runs {

namespace {

bool isFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

std::string executableFolder() {
  std::vector<char> buffer(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "";
  std::string path(buffer.data(), static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

bool looksLikeToolsFolder(const std::string& folder) {
  return isFolder(folder + "/bin") && isFolder(folder + "/lib");
}

bool hasProgram(const std::string& folder, const std::string& relative) {
  const std::string path = folder + "/" + relative;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string findToolsFolder(const std::string& explicitFolder) {
  if (!explicitFolder.empty()) return explicitFolder;
  const char* env = std::getenv("GETCHAR_TOOLS_DIR");
  if (env != nullptr && *env != '\0') return env;
  const std::string exe = executableFolder();
  const std::string installed = exe + "/../libexec/getChar/tools";
  if (looksLikeToolsFolder(installed)) return installed;
  return exe + "/tools";
}

std::string findDataFile(const std::string& explicitPath, const std::string& name) {
  if (!explicitPath.empty()) return explicitPath;
  const std::string exe = executableFolder();
  const std::string installed = exe + "/../share/getChar/" + name;
  if (isFile(installed)) return installed;
  // The build folder links data/ to the source tree's: name the file itself.
  const std::string built = exe + "/data/" + name;
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(built, ec);
  return ec ? built : real.string();
}

}  // namespace runs
