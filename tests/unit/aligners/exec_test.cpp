// Running shell commands: the captured text and the measured time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <string>

#include "getChar.h"
#include "test_support.h"

using testing_support::capture;

namespace {

bool isWholeNumber(double value) { return std::floor(value) == value; }

// Lowers the open-file limit so that no pipe can be made, and so popen fails.
class NoFreeFileDescriptors {
 public:
  NoFreeFileDescriptors() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    int lowestFree = open("/dev/null", O_RDONLY);
    close(lowestFree);
    struct rlimit tight = saved_;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    setrlimit(RLIMIT_NOFILE, &tight);
  }
  ~NoFreeFileDescriptors() { setrlimit(RLIMIT_NOFILE, &saved_); }

 private:
  struct rlimit saved_;
};

}  // namespace

TEST(ExecTest, ReturnsTheWholeOutputInOrder) {
  // 300 bytes on one line arrive in several 127-byte pieces; the last line
  // has no newline.
  const std::string longLine(300, 'x');
  EXPECT_EQ(exec("printf 'first\\n" + longLine + "\\n\\nlast'"), "first\n" + longLine + "\n\nlast");
  EXPECT_EQ(exec("head -c 100000 /dev/zero | tr '\\0' a"), std::string(100000, 'a'));
  // NUL bytes and what follows them are part of the text.
  EXPECT_EQ(exec("printf 'ab\\000cd\\nef\\n'"), std::string("ab\0cd\nef\n", 9));
  EXPECT_EQ(exec("head -c 300 /dev/zero"), std::string(300, '\0'));
}

TEST(ExecTest, EmptyOrSilentCommandGivesEmptyText) {
  EXPECT_EQ(exec(""), "");
  EXPECT_EQ(exec("true"), "");
}

TEST(ExecTest, StandardErrorIsNotCaptured) {
  std::string text;
  auto streams = capture([&] { text = exec("echo out; echo err >&2"); });
  EXPECT_EQ(text, "out\n");
  EXPECT_EQ(streams.out, "");
  EXPECT_EQ(streams.err, "err\n");
}

TEST(ExecTest, CommandThatCannotStartGivesError) {
  std::string text;
  double elapsed = 42.5;
  {
    NoFreeFileDescriptors limit;
    text = exec("echo started");
    execAligner("echo started", elapsed);
  }
  EXPECT_EQ(text, "ERROR");
  EXPECT_EQ(elapsed, 42.5);
}

TEST(ExecAlignerTest, StoresWholeMicroseconds) {
  double elapsed = -7;
  execAligner("", elapsed);
  EXPECT_GE(elapsed, 0.0);
  EXPECT_TRUE(isWholeNumber(elapsed));

  // A fifth of a second is about 200000 microseconds: a unit check only. The
  // clock starts when popen returns, and on a loaded machine the child may
  // have slept a while by then (199478 was seen), so the bound is loose; a
  // count in milliseconds or seconds would still fall far below it.
  execAligner("sleep 0.2", elapsed);
  EXPECT_GE(elapsed, 20000.0);
  EXPECT_TRUE(isWholeNumber(elapsed));
}

TEST(ExecAlignerTest, DrainsAndDiscardsTheOutput) {
  double elapsed = -7;
  // More than a pipe holds: the command only ends if the output is read.
  auto streams = capture([&] { execAligner("head -c 300000 /dev/zero", elapsed); });
  EXPECT_EQ(streams.out, "");
  EXPECT_GE(elapsed, 0.0);
}
