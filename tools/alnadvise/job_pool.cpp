#include "job_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "run_folder.h"

namespace alnadvise {

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

}  // namespace

bool runJobs(const std::vector<JobWork>& jobs, const JobPoolSettings& settings,
             const std::function<void(size_t, const JobOutcome&)>& onFinish,
             std::vector<JobOutcome>* outcomes) {
  outcomes->assign(jobs.size(), JobOutcome());
  std::vector<Running> running;
  size_t next = 0;
  bool stopping = false;
  const int maxJobs = settings.maxJobs < 1 ? 1 : settings.maxJobs;

  while (next < jobs.size() || !running.empty()) {
    if (SignalGuard::caught() != 0 && !stopping) {
      stopping = true;
      for (Running& r : running) {
        signalGroup(r, SIGTERM);
        r.terminated = true;
        r.terminatedAt = Clock::now();
      }
    }
    while (!stopping && next < jobs.size() && static_cast<int>(running.size()) < maxJobs) {
      int pipeFds[2];
      if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        (*outcomes)[next].why = "cannot create a pipe";
        onFinish(next, (*outcomes)[next]);
        ++next;
        continue;
      }
      std::cout.flush();
      std::cerr.flush();
      std::fflush(nullptr);
      Running r;
      r.job = next;
      r.resultFd = pipeFds[0];
      r.start = Clock::now();
      r.pid = ::fork();
      if (r.pid == 0) {
        ::close(pipeFds[0]);
        if (SignalGuard::wakeFd() >= 0) ::close(SignalGuard::wakeFd());
        runChild(jobs[next], pipeFds[1], settings.outputFd);
      }
      ::close(pipeFds[1]);
      if (r.pid < 0) {
        ::close(pipeFds[0]);
        (*outcomes)[next].why = "cannot start a process";
        onFinish(next, (*outcomes)[next]);
      } else {
        ::setpgid(r.pid, r.pid);  // also here: no race with a kill of the group
        running.push_back(r);
      }
      ++next;
    }

    // Reap whatever has ended.
    bool reaped = false;
    for (size_t i = 0; i < running.size();) {
      Running& r = running[i];
      int status = 0;
      const pid_t done = ::waitpid(r.pid, &status, WNOHANG);
      if (done == 0 || (done < 0 && errno == EINTR)) {
        ++i;
        continue;
      }
      // The group may hold grandchildren still (a shell's background job).
      ::kill(-r.pid, SIGKILL);
      JobOutcome& o = (*outcomes)[r.job];
      o.seconds = secondsSince(r.start);
      o.result = readAll(r.resultFd);
      ::close(r.resultFd);
      if (r.timedOut) {
        o.status = JobStatus::kTimedOut;
      } else if (stopping) {
        o.status = JobStatus::kInterrupted;
      } else if (done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        o.status = JobStatus::kDone;
      } else {
        o.status = JobStatus::kFailed;
        o.why = done < 0            ? "lost the process"
                : WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                    : "killed by signal " + std::to_string(WTERMSIG(status));
      }
      const size_t job = r.job;
      running.erase(running.begin() + static_cast<long>(i));
      onFinish(job, o);
      reaped = true;
    }
    if (reaped) continue;
    if (stopping && running.empty()) break;

    // Timeouts and the grace after SIGTERM.
    double wait = 0.2;
    for (Running& r : running) {
      if (!r.terminated && settings.timeoutSeconds > 0) {
        const double left = settings.timeoutSeconds - secondsSince(r.start);
        if (left <= 0) {
          r.timedOut = true;
          r.terminated = true;
          r.terminatedAt = Clock::now();
          signalGroup(r, SIGTERM);
        } else if (left < wait) {
          wait = left;
        }
      }
      if (r.terminated) {
        const double left = settings.graceSeconds - secondsSince(r.terminatedAt);
        if (left <= 0) {
          signalGroup(r, SIGKILL);
        } else if (left < wait) {
          wait = left;
        }
      }
    }
    if (SignalGuard::caught() != 0 && !stopping) continue;
    pollfd wake{SignalGuard::wakeFd(), POLLIN, 0};
    const int ms = static_cast<int>(wait * 1000) + 1;
    if (wake.fd >= 0) {
      if (::poll(&wake, 1, ms) > 0) SignalGuard::drainWake();
    } else {
      ::usleep(static_cast<useconds_t>(ms) * 1000);
    }
  }

  for (size_t j = next; j < jobs.size(); ++j) (*outcomes)[j].status = JobStatus::kInterrupted;
  return !stopping;
}

}  // namespace alnadvise
