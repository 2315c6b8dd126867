// Catches SIGINT, SIGTERM and SIGHUP for the life of a guard, so that the
// job pool can stop its children and the program can clean up and exit with
// 128 + the signal instead of leaving aligners or run files behind.
#ifndef RUNS_SIGNAL_GUARD_H
#define RUNS_SIGNAL_GUARD_H

#include <csignal>

namespace runs {

// The handler only records the signal and wakes wakeFd(); SIGCHLD wakes
// wakeFd() too. The previous handlers come back afterwards.
class SignalGuard {
 public:
  SignalGuard();
  ~SignalGuard();
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

  // The signal caught (0 while none was).
  static int caught();
  // Readable when a signal came; drain it with drainWake().
  static int wakeFd();
  static void drainWake();

 private:
  struct sigaction old_[4];
};

}  // namespace runs

#endif
