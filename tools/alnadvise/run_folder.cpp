#include "run_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "getChar.h"

namespace alnadvise {

namespace {

volatile sig_atomic_t gCaught = 0;
int gWake[2] = {-1, -1};
const int kSignals[4] = {SIGINT, SIGTERM, SIGHUP, SIGCHLD};

void onSignal(int signal) {
  const int saved = errno;
  if (signal != SIGCHLD && gCaught == 0) gCaught = signal;
  if (gWake[1] >= 0) {
    const char byte = 1;
    ssize_t ignored = ::write(gWake[1], &byte, 1);
    (void)ignored;
  }
  errno = saved;
}

}  // namespace

RunFolder::~RunFolder() { remove(); }

bool RunFolder::create(std::string* error) {
  pid_ = static_cast<int>(::getpid());
  time_ = static_cast<int>(std::time(nullptr) % 1000000);
  for (int attempt = 0; attempt < 1000; ++attempt, time_ = (time_ + 1) % 1000000) {
    const std::string candidate = "/tmp/fasta" + std::to_string(pid_) + std::to_string(time_);
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

SignalGuard::SignalGuard() {
  gCaught = 0;
  if (::pipe2(gWake, O_CLOEXEC | O_NONBLOCK) != 0) gWake[0] = gWake[1] = -1;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 4; ++i) ::sigaction(kSignals[i], &action, &old_[i]);
}

SignalGuard::~SignalGuard() {
  for (int i = 0; i < 4; ++i) ::sigaction(kSignals[i], &old_[i], nullptr);
  for (int& fd : gWake) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

int SignalGuard::caught() { return gCaught; }
int SignalGuard::wakeFd() { return gWake[0]; }

void SignalGuard::drainWake() {
  char buffer[64];
  while (gWake[0] >= 0 && ::read(gWake[0], buffer, sizeof buffer) > 0) {
  }
}

}  // namespace alnadvise
