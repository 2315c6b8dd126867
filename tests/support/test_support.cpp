#include "test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/getChar-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::string cmd = "rm -rf '" + path_ + "'";
  if (std::system(cmd.c_str()) != 0) {
    std::cerr << "could not remove " << path_ << "\n";
  }
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

RunResult runProgram(const std::vector<std::string>& argv, const std::string& cwd) {
  TempDir scratch;
  std::string outPath = scratch.file("out"), errPath = scratch.file("err");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    int in = open("/dev/null", O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = readFile(outPath);
  r.err = readFile(errPath);
  return r;
}

namespace {
int savedOut = -1, savedErr = -1;
std::string captureOut, captureErr;
}  // namespace

void beginCapture() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  char outTemplate[] = "/tmp/getChar-capture-out-XXXXXX";
  char errTemplate[] = "/tmp/getChar-capture-err-XXXXXX";
  int out = mkstemp(outTemplate);
  int err = mkstemp(errTemplate);
  captureOut = outTemplate;
  captureErr = errTemplate;
  savedOut = dup(1);
  savedErr = dup(2);
  dup2(out, 1);
  dup2(err, 2);
  close(out);
  close(err);
}

Captured endCapture() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  dup2(savedOut, 1);
  dup2(savedErr, 2);
  close(savedOut);
  close(savedErr);
  Captured c{readFile(captureOut), readFile(captureErr)};
  unlink(captureOut.c_str());
  unlink(captureErr.c_str());
  return c;
}

}  // namespace testing_support
