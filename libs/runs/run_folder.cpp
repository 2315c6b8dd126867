#include "runs/run_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "getChar.h"

namespace runs {

std::string runFile(int index) { return outputFile(index); }

RunFolder::~RunFolder() { remove(); }

bool RunFolder::create(std::string* error) {
  pid_ = static_cast<int>(::getpid());
  time_ = static_cast<int>(std::time(nullptr) % 1000000);
  for (int attempt = 0; attempt < 1000; ++attempt, time_ = (time_ + 1) % 1000000) {
    const std::string candidate = runDirectory();
    if (::mkdir(candidate.c_str(), 0700) == 0) {
      path_ = candidate;
      return true;
    }
    if (errno != EEXIST) {
      *error = "cannot create the run folder '" + candidate + "': " + std::strerror(errno);
      return false;
    }
  }
  *error = "cannot find a free run folder name under /tmp";
  return false;
}

void RunFolder::remove() {
  if (path_.empty() || keep_) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  path_.clear();
}

}  // namespace runs
