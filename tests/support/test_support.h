// Helpers shared by the tests: temporary directories, whole-file I/O and
// running a program with captured output.
#ifndef GETCHAR_TEST_SUPPORT_H
#define GETCHAR_TEST_SUPPORT_H

#include <string>
#include <vector>

namespace testing_support {

// A fresh directory under $TMPDIR (or /tmp), removed with its contents when
// the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

struct RunResult {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;
  std::string err;
};

// Runs argv[0] with the given arguments (no shell) in directory cwd, with
// standard input from /dev/null, and captures both output streams.
RunResult runProgram(const std::vector<std::string>& argv, const std::string& cwd = "");

// Captures what a function writes on standard output / error (file
// descriptors 1 and 2, C and C++ streams flushed around the call).
struct Captured {
  std::string out;
  std::string err;
};
template <typename F>
Captured capture(F&& f);
void beginCapture();
Captured endCapture();
template <typename F>
Captured capture(F&& f) {
  beginCapture();
  f();
  return endCapture();
}

// Calls parse(argc, argv, &options) on "program args...", capturing its
// output: a command-line parser's status, options and messages.
template <typename Options>
struct ParsedCommandLine {
  int status = 0;
  Options options;
  Captured output;
};
template <typename Options, typename Parse>
ParsedCommandLine<Options> parseArguments(const std::string& program, std::vector<std::string> args,
                                          Parse parse) {
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  ParsedCommandLine<Options> p;
  p.output =
      capture([&] { p.status = parse(static_cast<int>(argv.size()), argv.data(), &p.options); });
  return p;
}

}  // namespace testing_support

#endif
