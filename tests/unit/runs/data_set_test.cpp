// Reading the user's data set and reference: every bad input of the
// command's documentation, and the names that must survive unchanged.
#include "runs/data_set.h"

#include <gtest/gtest.h>

#include "runs/reference.h"
#include "test_support.h"

namespace runs {
namespace {

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

class DataSetTest : public ::testing::Test {
 protected:
  // The error of reading text as a data set ("" when it reads).
  std::string errorOf(const std::string& text) {
    writeFile(dir.file("in.fa"), text);
    std::string error;
    return readDataSet(dir.file("in.fa"), &data, &error) ? "" : error;
  }
  TempDir dir;
  DataSet data;
};

TEST_F(DataSetTest, RejectsEachBadInputWithItsReason) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"", "is empty"},
      {"\n\n  \n", "holds no FASTA record"},
      {"ACDE\n>a\nAC\n", "is not FASTA"},
      {">a\nACDEF\n", "holds one sequence"},
      {">a\nACD\n>b\nacd\n>c\nA-C-D\n", "all identical"},
      {">a\nAC*D\n>b\nAC\n", "byte '*' is not a residue letter"},
      {">a\nACD\n>b\nA1C\n", "record 2 ('b'): byte '1'"},
      {">a\nAC\x01\n>b\nAC\n", "byte 0x01"},
      {">a\nACD\n>a\nACE\n", "records 1 and 2 have the same name 'a'"},
      {">a\n\n>b\nACD\n", "record 1 ('a') has no residues"},
      {">\nACD\n>b\nACE\n", "record 1 has no name"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(errorOf(c.text).find(c.reason), std::string::npos)
        << "input " << testing::PrintToString(c.text) << " gave: " << errorOf(c.text);
  }
  std::string error;
  EXPECT_FALSE(readDataSet(dir.file("missing.fa"), &data, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
  EXPECT_FALSE(readDataSet(dir.path(), &data, &error));
  EXPECT_NE(error.find("is a folder"), std::string::npos);
}

TEST_F(DataSetTest, KeepsNamesByteForByteAndStripsGapsAndBlanks) {
  const std::string longName(200, 'n');
  ASSERT_EQ(errorOf(">sp|P1| a protein; $(rm -rf /) `x`\r\nAC-D E\r\n.fg\n>" + longName +
                    "\nACDE\n>copy\nacdefg\n"),
            "");
  ASSERT_EQ(data.size(), 3u);
  EXPECT_EQ(data.names[0], "sp|P1| a protein; $(rm -rf /) `x`");
  EXPECT_EQ(data.residues[0], "ACDEfg");
  EXPECT_EQ(data.names[1], longName);
  EXPECT_EQ(data.distinctSequences, 2u);  // case does not make a sequence distinct

  std::string error;
  ASSERT_TRUE(writeSafeCopy(data, dir.file("safe.fa"), &error)) << error;
  EXPECT_EQ(readFile(dir.file("safe.fa")), ">s1\nACDEfg\n>s2\nACDE\n>s3\nacdefg\n");
}

TEST_F(DataSetTest, MatchesReferencesByNameOrFirstWord) {
  ASSERT_EQ(errorOf(">x1 first one\nACDEF\n>x2 second\nACDF\n>x3\nCDEF\n"), "");
  writeFile(dir.file("ref.fa"), ">x2 second\nAC-DF\n>x1\nacdef\n");
  Reference ref;
  std::string error;
  ASSERT_TRUE(readReference(dir.file("ref.fa"), data, &ref, &error)) << error;
  EXPECT_EQ(ref.recordOf, (std::vector<size_t>{1, 0}));
  ASSERT_TRUE(writeSafeReference(ref, dir.file("safe-ref.fa"), &error));
  EXPECT_EQ(readFile(dir.file("safe-ref.fa")), ">s2\nAC-DF\n>s1\nacdef\n");

  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {">x1\nACDEF\n>other\nACDF-\n", "'other' matches no sequence name"},
      {">x1\nACDEF\n>x2\nACDW-\n", "residues of 'x2' differ"},
      {">x1\nACDEF\n", "fewer than two sequences"},
      {"CLUSTAL W\n\nx1 ACDEF\n", "fewer than two sequences"},  // read as Clustal
      {">x1\nACDEF\n>x1 first one\nACDEF\n", "two rows match"},
  };
  for (const auto& c : cases) {
    writeFile(dir.file("bad.fa"), c.text);
    EXPECT_FALSE(readReference(dir.file("bad.fa"), data, &ref, &error)) << c.text;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
  }
}

// The stop '*' that ends a translated gene: one per record is dropped and
// counted, any other is refused as before.
TEST_F(DataSetTest, OneTrailingStopPerRecordIsDropped) {
  // At the end of the last line, on a line of its own, before blank lines,
  // after gaps and blanks; and records without one.
  ASSERT_EQ(errorOf(">a\nMKV*\n>b\nMKL\n*\n\n>c\nMK-L *\r\n>d\nmkvl\n"), "");
  EXPECT_EQ(data.residues, (std::vector<std::string>{"MKV", "MKL", "MKL", "mkvl"}));
  EXPECT_EQ(data.stopsDropped, 3u);
  EXPECT_EQ(data.distinctSequences, 3u);
  ASSERT_EQ(errorOf(">a\nMKV\n>b\nMKL\n"), "");
  EXPECT_EQ(data.stopsDropped, 0u);
}

TEST_F(DataSetTest, AnyOtherStopIsRefused) {
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
