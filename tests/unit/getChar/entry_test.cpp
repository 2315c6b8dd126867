// The entry called in-process, for what a shell cannot pass: no arguments at
// all, not even the program name.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "getChar.h"
#include "test_support.h"

namespace {

TEST(Entry, MissingProgramNamePrintsUsageWithEmptyName) {
  testing_support::TempDir dir;
  const std::string outPath = dir.file("stdout");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    char* argv[] = {nullptr};
    getCharMain(0, argv);
    _exit(2);  // not reached
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(testing_support::readFile(outPath),
            "** ERROR, try with  <DataSet> <optionFile> <aligner>\n"
            "     <aligner>: CLUSTALW, DIALIGNTX, KALIGN, MAFFT, or MUSCLE");
}

}  // namespace
