#include "runs/signal_guard.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace runs {

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

}  // namespace runs
