// Whole files read byte for byte, and a failed read never taken for an
// empty file.
#include "runs/file_input.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace runs {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

TEST(ReadWholeFile, KeepsEveryByteOfAFileLongerThanOneRead) {
  TempDir dir;
  std::string bytes(200001, 'A');
  bytes[0] = '\0';
  bytes[65536] = '\r';
  bytes.back() = '\n';
  writeFile(dir.file("big"), bytes);
  writeFile(dir.file("empty"), "");
  std::string text;
  ASSERT_TRUE(readWholeFile(dir.file("big"), &text));
  EXPECT_EQ(text, bytes);
  ASSERT_TRUE(readWholeFile(dir.file("empty"), &text));
  EXPECT_EQ(text, "");
}

TEST(ReadWholeFile, FailsOnAMissingFileAndOnAReadErrorLeavingTheTextAlone) {
  TempDir dir;
  std::string text = "untouched";
  EXPECT_FALSE(readWholeFile(dir.file("missing"), &text));
  // A folder opens, but every read of it fails (EISDIR).
  EXPECT_FALSE(readWholeFile(dir.path(), &text));
  EXPECT_EQ(text, "untouched");
}

}  // namespace
}  // namespace runs
