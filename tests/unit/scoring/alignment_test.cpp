#include "scoring/alignment.h"

#include <gtest/gtest.h>

#include "parsed_alignment.h"
#include "test_support.h"

namespace scoring {
namespace {

std::string parseError(const std::string& text) {
  Alignment a;
  std::string error;
  EXPECT_FALSE(parseAlignment(text, &a, &error));
  return error;
}

TEST(AlnscoreReader, FastaJoinsLinesAndKeepsWholeHeaders) {
  Alignment a = parsedAlignment("\n>s1 first one \r\nAC-\r\nD.\r\n\n>s2\n  A C D E F\n");
  ASSERT_EQ(a.sequences.size(), 2u);
  EXPECT_EQ(a.sequences[0].name, "s1 first one");
  EXPECT_EQ(a.sequences[0].row, "AC-D.");
  EXPECT_EQ(a.sequences[1].name, "s2");
  EXPECT_EQ(a.sequences[1].row, "ACDEF");
  EXPECT_EQ(a.columns(), 5u);
}

TEST(AlnscoreReader, MsfReadsBlocksAfterTheHeader) {
  const char* msf =
      "PileUp\n\n   MSF:   12  Type: P    Check:  7038   ..\n\n"
      " Name: seqA oo  Len:   12  Check:  4681  Weight:  10.0\n"
      " Name: seqB oo  Len:   12  Check:  1914  Weight:  10.0\n\n//\n\n"
      "            1                                    \n"
      "seqA        ..ACD EFG\n"
      "seqB        ~~acd efg\n\n"
      "seqA        HIKL\n"
      "seqB        hik~\n";
  EXPECT_EQ(detectFormat(msf), AlignmentFormat::kMsf);
  Alignment a = parsedAlignment(msf);
  ASSERT_EQ(a.sequences.size(), 2u);
  EXPECT_EQ(a.sequences[0].name, "seqA");
  EXPECT_EQ(a.sequences[0].row, "..ACDEFGHIKL");
  EXPECT_EQ(a.sequences[1].row, "--acdefghik-");  // '~' is a gap
}

TEST(AlnscoreReader, DetectsFormatByContent) {
  EXPECT_EQ(detectFormat("\n\n>x\nA\n"), AlignmentFormat::kFasta);
  EXPECT_EQ(detectFormat("\nCLUSTAL W\n\nx  AC\n"), AlignmentFormat::kClustal);
  EXPECT_EQ(detectFormat("# STOCKHOLM 1.0\nx AC\n//\n"), AlignmentFormat::kStockholm);
  EXPECT_EQ(detectFormat(">x\nCLUSTAL\n"), AlignmentFormat::kFasta);
  EXPECT_EQ(detectFormat("MSF: 3\nName: x\n"), AlignmentFormat::kUnknown);  // no "//"
  EXPECT_EQ(detectFormat(""), AlignmentFormat::kUnknown);
}

TEST(AlnscoreReader, RejectsMalformedInput) {
  EXPECT_NE(parseError("").find("neither"), std::string::npos);
  EXPECT_NE(parseError(">a\nACD\n>b\nAC\n").find("differ in length"), std::string::npos);
  EXPECT_NE(parseError("MSF: 2\n Name: a\n//\nb AC\n").find("'b' is not named"), std::string::npos);
  EXPECT_NE(parseError("MSF: 2\n Name: a\n Name: a\n//\na AC\n").find("twice"), std::string::npos);
  Alignment a;
  std::string error;
  EXPECT_FALSE(parseFasta("junk\n>a\nAC\n", &a, &error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
}

TEST(AlnscoreReader, FileErrorsNameThePath) {
  testing_support::TempDir dir;
  Alignment a;
  std::string error;
  EXPECT_FALSE(readAlignmentFile(dir.file("absent.fa"), &a, &error));
  EXPECT_NE(error.find(dir.file("absent.fa")), std::string::npos);
  testing_support::writeFile(dir.file("ok.fa"), ">a\nAC\n");
  EXPECT_TRUE(readAlignmentFile(dir.file("ok.fa"), &a, &error)) << error;
  EXPECT_EQ(a.sequences[0].row, "AC");
}

}  // namespace
}  // namespace scoring
