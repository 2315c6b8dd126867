// The runner's folder of run files, /tmp/fasta<pid_><time_>, and the
// signals that must not leave it (or running aligners) behind.
#ifndef ALNADVISE_RUN_FOLDER_H
#define ALNADVISE_RUN_FOLDER_H

#include <csignal>
#include <string>

namespace alnadvise {

// Sets pid_ to this process and time_ to a clock-derived number, and creates
// the folder the runner expects with mode 0700. A folder that exists already
// is never reused: time_ moves on and the creation is tried again. The
// destructor removes the folder and everything in it unless keep() was
// called.
class RunFolder {
 public:
  RunFolder() = default;
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  bool create(std::string* error);
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void keep() { keep_ = true; }
  // Removes the folder now (unless kept); later calls do nothing.
  void remove();

 private:
  std::string path_;
  bool keep_ = false;
};

// Catches SIGINT, SIGTERM and SIGHUP for the life of the object: the handler
// only records the signal and wakes wakeFd(), so the job pool can stop its
// children and the caller can clean up and exit with 128 + the signal.
// SIGCHLD wakes wakeFd() too. The previous handlers come back afterwards.
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

}  // namespace alnadvise

#endif
