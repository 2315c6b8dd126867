// A place for one runner test to work in: a fresh temporary directory that
// becomes the working directory (the runner finds ./bin and ./lib there), and
// the run directory /tmp/fasta<pid_><time_> with pid_ set to this process and
// time_ to a number of its own, so tests can run side by side.
#ifndef GETCHAR_TESTS_RUN_WORKSPACE_H
#define GETCHAR_TESTS_RUN_WORKSPACE_H

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "getChar.h"
#include "test_support.h"

namespace testing_support {

// Three digits, so that pid and number concatenated stay unique across
// processes.
inline int nextRunNumber() {
  static int number = 100;
  return number++;
}

class RunWorkspace {
 public:
  RunWorkspace() : oldCwd_(std::filesystem::current_path()) {
    pid_ = static_cast<int>(getpid());
    time_ = nextRunNumber();
    runDir_ = "/tmp/fasta" + std::to_string(pid_) + std::to_string(time_);
    std::filesystem::remove_all(runDir_);  // left by a crashed process of the same pid
    if (::mkdir(runDir_.c_str(), 0700) != 0) throw std::runtime_error("cannot create " + runDir_);
    std::filesystem::current_path(work_.path());
  }
  ~RunWorkspace() {
    std::filesystem::current_path(oldCwd_);
    std::filesystem::remove_all(runDir_);
  }
  RunWorkspace(const RunWorkspace&) = delete;
  RunWorkspace& operator=(const RunWorkspace&) = delete;

  const std::string& path() const { return work_.path(); }
  std::string file(const std::string& name) const { return work_.file(name); }
  const std::string& runDir() const { return runDir_; }
  // The output file of index k, spelled out independently of the runner.
  std::string output(int k) const {
    return runDir_ + "/fasta" + std::to_string(k) + std::to_string(pid_) + std::to_string(time_);
  }

 private:
  std::filesystem::path oldCwd_;
  TempDir work_;
  std::string runDir_;
};

// Writes an executable shell script.
inline void writeProgram(const std::string& path, const std::string& body) {
  writeFile(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
}

}  // namespace testing_support

#endif  // GETCHAR_TESTS_RUN_WORKSPACE_H
