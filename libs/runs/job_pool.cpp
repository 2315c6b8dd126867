#include "runs/job_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "runs/signal_guard.h"

namespace runs {

int onlineCores() {
  const long n = ::sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<int>(n) : 1;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

namespace {

using Clock = std::chrono::steady_clock;

struct Running {
  size_t job = 0;
  pid_t pid = -1;
  int resultFd = -1;  // read end of the child's result pipe
  Clock::time_point start;
  bool terminated = false;  // SIGTERM sent
  Clock::time_point terminatedAt;
  bool timedOut = false;
  bool overBudget = false;
};

[[noreturn]] void runChild(const JobWork& work, int resultFd, int outputFd) {
  ::setpgid(0, 0);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGPIPE}) ::signal(s, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  const int devNull = ::open("/dev/null", O_RDWR);
  const int out = outputFd >= 0 ? outputFd : devNull;
  ::dup2(devNull, 0);
  ::dup2(out, 1);
  ::dup2(out, 2);
  std::string result;
  try {
    result = work();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "job failed: %s\n", e.what());
    std::fflush(nullptr);
    ::_exit(3);
  }
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  size_t written = 0;
  while (written < result.size()) {
    const ssize_t n = ::write(resultFd, result.data() + written, result.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ::_exit(4);
    written += static_cast<size_t>(n);
  }
  ::_exit(0);
}

std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return text;
    }
  }
}

void signalGroup(Running& r, int signal) {
  if (::kill(-r.pid, signal) != 0) ::kill(r.pid, signal);
}

void terminate(Running& r) {
  signalGroup(r, SIGTERM);
  r.terminated = true;
  r.terminatedAt = Clock::now();
}

JobStatus exitStatus(pid_t done, int status, std::string* why) {
  if (done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) return JobStatus::kDone;
  *why = done < 0            ? "lost the process"
         : WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                             : "killed by signal " + std::to_string(WTERMSIG(status));
  return JobStatus::kFailed;
}

// One call of runJobs: the jobs not yet started, the children running and
// whether a caught signal has begun to stop them all.
class Pool {
 public:
  Pool(const std::vector<JobWork>& jobs, const JobPoolSettings& settings,
       const std::function<void(size_t, const JobOutcome&)>& onFinish,
       std::vector<JobOutcome>* outcomes)
      : jobs_(jobs),
        settings_(settings),
        onFinish_(onFinish),
        outcomes_(*outcomes),
        maxJobs_(settings.maxJobs < 1 ? 1 : settings.maxJobs) {
    outcomes_.assign(jobs.size(), JobOutcome());
    skipped_.assign(jobs.size(), false);
  }

  bool run() {
    while (nextToStart() < jobs_.size() || !running_.empty()) {
      if (SignalGuard::caught() != 0 && !stopping_) stopAll();
      if (!stopping_ && pastDeadline()) skipTheRest();
      while (!stopping_ && nextToStart() < jobs_.size() &&
             static_cast<int>(running_.size()) < maxJobs_)
        start(next_++);
      if (reapEnded()) continue;
      if (stopping_ && running_.empty()) break;
      const double wait = enforceTimeouts();
      if (SignalGuard::caught() != 0 && !stopping_) continue;
      sleep(wait);
    }
    for (size_t j = next_; j < jobs_.size(); ++j)
      if (!skipped_[j]) outcomes_[j].status = JobStatus::kInterrupted;
    return !stopping_;
  }

 private:
  void stopAll() {
    stopping_ = true;
    for (Running& r : running_) terminate(r);
  }

  bool pastDeadline() const {
    const double deadline = settings_.deadline ? settings_.deadline() : settings_.deadlineSeconds;
    return deadline > 0 && secondsSince(start_) >= deadline;
  }

  bool isProtected(size_t job) const {
    const std::vector<size_t>& p = settings_.protectedJobs;
    return std::find(p.begin(), p.end(), job) != p.end();
  }

  // Past the deadline: what has not started is reported as not started,
  // but for protected jobs, which still start in their turn.
  void skipTheRest() {
    for (size_t job = next_; job < jobs_.size(); ++job) {
      if (isProtected(job) || skipped_[job]) continue;
      skipped_[job] = true;
      outcomes_[job].status = JobStatus::kNotStarted;
      onFinish_(job, outcomes_[job]);
    }
  }

  // The next job to start, past those skipped; jobs_.size() when none.
  size_t nextToStart() {
    while (next_ < jobs_.size() && skipped_[next_]) ++next_;
    return next_;
  }

  void failToStart(size_t job, const char* why) {
    outcomes_[job].why = why;
    onFinish_(job, outcomes_[job]);
  }

  void start(size_t job) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return failToStart(job, "cannot create a pipe");
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    Running r;
    r.job = job;
    r.resultFd = pipeFds[0];
    r.start = Clock::now();
    r.pid = ::fork();
    if (r.pid == 0) {
      ::close(pipeFds[0]);
      if (SignalGuard::wakeFd() >= 0) ::close(SignalGuard::wakeFd());
      runChild(jobs_[job], pipeFds[1], settings_.outputFd);
    }
    ::close(pipeFds[1]);
    if (r.pid < 0) {
      ::close(pipeFds[0]);
      return failToStart(job, "cannot start a process");
    }
    ::setpgid(r.pid, r.pid);  // also here: no race with a kill of the group
    running_.push_back(r);
  }

  // Collects every child that has ended; true when there was one.
  bool reapEnded() {
    bool reaped = false;
    for (size_t i = 0; i < running_.size();) {
      Running& r = running_[i];
      int status = 0;
      const pid_t done = ::waitpid(r.pid, &status, WNOHANG);
      if (done == 0 || (done < 0 && errno == EINTR)) {
        ++i;
        continue;
      }
      // The group may hold grandchildren still (a shell's background job).
      ::kill(-r.pid, SIGKILL);
      JobOutcome& o = outcomes_[r.job];
      o.seconds = secondsSince(r.start);
      o.result = readAll(r.resultFd);
      ::close(r.resultFd);
      if (r.overBudget) {
        o.status = JobStatus::kOverBudget;
      } else if (r.timedOut) {
        o.status = JobStatus::kTimedOut;
      } else if (stopping_) {
        o.status = JobStatus::kInterrupted;
      } else {
        o.status = exitStatus(done, status, &o.why);
      }
      const size_t job = r.job;
      running_.erase(running_.begin() + static_cast<long>(i));
      onFinish_(job, o);
      reaped = true;
    }
    return reaped;
  }

  // Sends SIGTERM past the timeout and SIGKILL past the grace after it;
  // returns the seconds until the next of these is due (at most 0.2).
  double enforceTimeouts() {
    double wait = 0.2;
    const bool deadline = pastDeadline();
    for (Running& r : running_) {
      if (!r.terminated && deadline && !isProtected(r.job)) {
        r.overBudget = true;
        terminate(r);
      }
      if (!r.terminated && settings_.timeoutSeconds > 0) {
        const double left = settings_.timeoutSeconds - secondsSince(r.start);
        if (left <= 0) {
          r.timedOut = true;
          terminate(r);
        } else if (left < wait) {
          wait = left;
        }
      }
      if (r.terminated) {
        const double left = settings_.graceSeconds - secondsSince(r.terminatedAt);
        if (left <= 0) {
          signalGroup(r, SIGKILL);
        } else if (left < wait) {
          wait = left;
        }
      }
    }
    return wait;
  }

  // Until the wait is over or a signal wakes us.
  static void sleep(double wait) {
    pollfd wake{SignalGuard::wakeFd(), POLLIN, 0};
    const int ms = static_cast<int>(wait * 1000) + 1;
    if (wake.fd >= 0) {
      if (::poll(&wake, 1, ms) > 0) SignalGuard::drainWake();
    } else {
      ::usleep(static_cast<useconds_t>(ms) * 1000);
    }
  }

  const std::vector<JobWork>& jobs_;
  const JobPoolSettings& settings_;
  const std::function<void(size_t, const JobOutcome&)>& onFinish_;
  std::vector<JobOutcome>& outcomes_;
  const int maxJobs_;
  const Clock::time_point start_ = Clock::now();
  std::vector<Running> running_;
  size_t next_ = 0;
  std::vector<bool> skipped_;  // reported as not started at the deadline
  bool stopping_ = false;
};

}  // namespace

bool runJobs(const std::vector<JobWork>& jobs, const JobPoolSettings& settings,
             const std::function<void(size_t, const JobOutcome&)>& onFinish,
             std::vector<JobOutcome>* outcomes) {
  return Pool(jobs, settings, onFinish, outcomes).run();
}

}  // namespace runs
