// columns.tsv, --mask and --trim from a column confidence.
#include "alnadvise/confidence_outputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "test_support.h"

namespace alnadvise {
namespace {

const double kNone = std::nan("");

// Two rows, four columns: a lone residue in column 1, no pair in column 3.
advice::Confidence example() {
  advice::Confidence c;
  c.known = true;
  c.columns = {kNone, 0.9, kNone, 0.4};
  c.residues = {{kNone, 0.9, 0.4}, {0.9, 0.4}};
  return c;
}
const std::vector<std::string> kRows = {"AC-D", "-c-d"};

TEST(ConfidenceOutputs, TableMaskAndTrimCountMissingAsBelow) {
  EXPECT_EQ(columnTable(example(), kRows),
            "column\tresidues\tconfidence\tpp\n1\t1\tNA\t.\n2\t2\t0.900\t9\n3\t0\tNA\t.\n"
            "4\t2\t0.400\t4\n");
  EXPECT_EQ(maskedRows(kRows, example(), 0.5), (std::vector<std::string>{"aC-d", "-C-d"}));
  EXPECT_EQ(maskedRows(kRows, example(), 0), (std::vector<std::string>{"aC-D", "-C-D"}));
  std::vector<int> kept;
  EXPECT_EQ(trimmedRows(kRows, example(), 0.5, &kept), (std::vector<std::string>{"C", "c"}));
  EXPECT_EQ(kept, (std::vector<int>{2}));
  EXPECT_EQ(trimmedRows(kRows, example(), 0, &kept), (std::vector<std::string>{"CD", "cd"}));
  EXPECT_EQ(kept, (std::vector<int>{2, 4}));
  EXPECT_EQ(trimmedRows(kRows, example(), 1, &kept), (std::vector<std::string>{"", ""}));
}

TEST(ConfidenceOutputs, FilesReplacedOrRefusedLoudly) {
  testing_support::TempDir dir;
  const std::string out = dir.file("out");
  std::filesystem::create_directories(out);
  std::string warning, error;
  ASSERT_TRUE(writeConfidenceOutputs(out, {"a", "b"}, kRows, example(), 0.5, 0.5, &warning, &error))
      << error;
  EXPECT_EQ(warning, "");
  EXPECT_EQ(testing_support::readFile(out + "/best.trimmed.fasta"), ">a\nC\n>b\nc\n");
  EXPECT_EQ(testing_support::readFile(out + "/best.trimmed.columns.tsv"),
            "trimmed_column\tcolumn\n1\t2\n");
  EXPECT_EQ(testing_support::readFile(out + "/best.masked.fasta"), ">a\naC-d\n>b\n-C-d\n");

  // Not asked for again: the files of the earlier advice are gone.
  ASSERT_TRUE(writeConfidenceOutputs(out, {"a", "b"}, kRows, example(), -1, -1, &warning, &error));
  EXPECT_TRUE(std::filesystem::exists(out + "/columns.tsv"));
  for (const char* gone : {"best.masked.fasta", "best.trimmed.fasta", "best.trimmed.columns.tsv"})
    EXPECT_FALSE(std::filesystem::exists(out + "/" + gone)) << gone;

  // A trim that leaves every row without a residue is written, and said.
  ASSERT_TRUE(writeConfidenceOutputs(out, {"a", "b"}, kRows, example(), -1, 1, &warning, &error));
  EXPECT_EQ(testing_support::readFile(out + "/best.trimmed.fasta"), ">a\n\n>b\n\n");
  EXPECT_EQ(warning,
            "best.trimmed.fasta: 2 of 2 rows keep no residue at --trim 1 (tree programs such as "
            "IQ-TREE refuse such rows)");

  // Unknown confidence: nothing to write unless asked for, then a failure.
  advice::Confidence unknown;
  unknown.note = "no other alignment to compare with";
  EXPECT_TRUE(writeConfidenceOutputs(out, {"a", "b"}, kRows, unknown, -1, -1, &warning, &error));
  EXPECT_FALSE(std::filesystem::exists(out + "/columns.tsv"));
  EXPECT_FALSE(writeConfidenceOutputs(out, {"a", "b"}, kRows, unknown, -1, 0.5, &warning, &error));
  EXPECT_EQ(error,
            "--trim: the column confidence is not known (no other alignment to compare with); "
            "best.trimmed.fasta not written");

  // A folder that is gone.
  EXPECT_FALSE(
      writeConfidenceOutputs(dir.file("gone"), {"a", "b"}, kRows, example(), -1, -1, &warning, &error));
  EXPECT_NE(error.find("columns.tsv"), std::string::npos) << error;
}

}  // namespace
}  // namespace alnadvise
