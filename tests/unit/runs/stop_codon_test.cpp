// The stop '*' that ends a translated gene: one per record is dropped and
// counted, any other is refused as before.
#include <gtest/gtest.h>

#include "runs/data_set.h"
#include "test_support.h"

namespace runs {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

class StopCodonTest : public ::testing::Test {
 protected:
  std::string errorOf(const std::string& text) {
    writeFile(dir.file("in.fa"), text);
    std::string error;
    return readDataSet(dir.file("in.fa"), &data, &error) ? "" : error;
  }
  TempDir dir;
  DataSet data;
};

TEST_F(StopCodonTest, OneTrailingStopPerRecordIsDropped) {
  // At the end of the last line, on a line of its own, before blank lines,
  // after gaps and blanks; and records without one.
  ASSERT_EQ(errorOf(">a\nMKV*\n>b\nMKL\n*\n\n>c\nMK-L *\r\n>d\nmkvl\n"), "");
  EXPECT_EQ(data.residues, (std::vector<std::string>{"MKV", "MKL", "MKL", "mkvl"}));
  EXPECT_EQ(data.stopsDropped, 3u);
  EXPECT_EQ(data.distinctSequences, 3u);
  ASSERT_EQ(errorOf(">a\nMKV\n>b\nMKL\n"), "");
  EXPECT_EQ(data.stopsDropped, 0u);
}

TEST_F(StopCodonTest, AnyOtherStopIsRefused) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {">a\nMK*V\n>b\nMKL\n", "record 1 ('a'): byte '*' is not a residue letter"},
      {">a\nMKV**\n>b\nMKL\n", "record 1 ('a'): byte '*' is not a residue letter"},
      {">a\nMKV\n>b\nM*\nKL*\n", "record 2 ('b'): byte '*' is not a residue letter"},
      {">a\n*\n>b\nMKL\n", "record 1 ('a') has no residues"},
      {">a\nMKV*\n>b\nMKV\n", "all identical"},
      {"*\n>a\nMKV\n", "is not FASTA"},
  };
  for (const auto& c : cases)
    EXPECT_NE(errorOf(c.text).find(c.reason), std::string::npos)
        << testing::PrintToString(c.text) << " gave: " << errorOf(c.text);
}

}  // namespace
}  // namespace runs
