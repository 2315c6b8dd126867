// Where the programs look for the aligners and the shipped data, and what
// counts as an aligner that is there.
#include "runs/tool_locations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "test_support.h"

namespace runs {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

TEST(ToolLocations, AnOptionWinsOverTheVariableWhichWinsOverTheExecutablesFolder) {
  const char* old = std::getenv("GETCHAR_TOOLS_DIR");
  const std::string saved = old ? old : "";
  ::setenv("GETCHAR_TOOLS_DIR", "/from/variable", 1);
  EXPECT_EQ(findToolsFolder("/from/option"), "/from/option");
  EXPECT_EQ(findToolsFolder(""), "/from/variable");
  ::unsetenv("GETCHAR_TOOLS_DIR");
  // Not installed: the build folder's tools/ beside the executable.
  EXPECT_EQ(findToolsFolder(""), executableFolder() + "/tools");
  if (old) ::setenv("GETCHAR_TOOLS_DIR", saved.c_str(), 1);
}

TEST(ToolLocations, ShippedDataIsFoundThroughTheBuildFoldersLink) {
  EXPECT_EQ(findDataFile("/my/front.txt", "front.txt"), "/my/front.txt");
  const std::string front = findDataFile("", "front.txt");
  EXPECT_TRUE(testing_support::fileExists(front)) << front;
  // Named by the real path the link leads to.
  EXPECT_EQ(front, std::filesystem::canonical(front).string());
}

TEST(ToolLocations, OnlyAnExecutableRegularFileCountsAsAProgram) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("bin").c_str(), 0755), 0);
  writeFile(dir.file("bin/runs"), "#!/bin/sh\n");
  writeFile(dir.file("bin/plain"), "text\n");
  ASSERT_EQ(::chmod(dir.file("bin/runs").c_str(), 0755), 0);
  ASSERT_EQ(::chmod(dir.file("bin/plain").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("runs", dir.file("bin/link").c_str()), 0);
  ASSERT_EQ(::symlink("gone", dir.file("bin/dangling").c_str()), 0);
  EXPECT_TRUE(hasProgram(dir.path(), "bin/runs"));
  EXPECT_TRUE(hasProgram(dir.path(), "bin/link"));
  EXPECT_FALSE(hasProgram(dir.path(), "bin/plain"));
  EXPECT_FALSE(hasProgram(dir.path(), "bin/dangling"));
  EXPECT_FALSE(hasProgram(dir.path(), "bin/missing"));
  EXPECT_FALSE(hasProgram(dir.path(), "bin"));
  // A tools folder needs lib/ beside bin/.
  EXPECT_FALSE(looksLikeToolsFolder(dir.path()));
  ASSERT_EQ(::mkdir(dir.file("lib").c_str(), 0755), 0);
  EXPECT_TRUE(looksLikeToolsFolder(dir.path()));
}

}  // namespace
}  // namespace runs
