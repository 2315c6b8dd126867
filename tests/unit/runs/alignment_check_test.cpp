// The check and restoration of a run's alignment, and the aligner names.
#include "runs/alignment_check.h"

#include <gtest/gtest.h>

#include "getChar.h"
#include "runs/aligner_names.h"
#include "test_support.h"

namespace runs {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

class Validation : public ::testing::Test {
 protected:
  std::string check(const std::string& alignment) {
    writeFile(dir.file("aln"), alignment);
    std::string why;
    return validateAlignment(dir.file("aln"), data, &rows, &why) ? "" : why;
  }
  TempDir dir;
  DataSet data{"", {"first name", "x"}, {"ACxDE", "AcBD"}, 2};
  std::vector<std::string> rows;
};

TEST_F(Validation, RestoresOriginalResiduesAndAcceptsRewrittenRareLetters) {
  // The aligner wrote upper case, X for the unknown 'x' and D for the 'B'.
  ASSERT_EQ(check(">s2\nAC-DD-\n>s1\nACXD.E\n"), "");
  EXPECT_EQ(rows, (std::vector<std::string>{"ACxD-E", "Ac-BD-"}));
}

TEST_F(Validation, RejectsWrongNamesResiduesAndShapes) {
  EXPECT_NE(check(">s1\nACXDE\n>s3\nACBD-\n").find("unknown sequence name 's3'"),
            std::string::npos);
  EXPECT_NE(check(">s1\nACXDE\n>s1\nACXDE\n").find("appears twice"), std::string::npos);
  EXPECT_NE(check(">s1\nACXDE\n").find("'s2' is missing"), std::string::npos);
  EXPECT_NE(check(">s1\nACXDW\n>s2\nACBD-\n").find("differ"), std::string::npos);
  EXPECT_NE(check(">s1\nACXD-\n>s2\nACBD-\n").find("lost residues"), std::string::npos);
  EXPECT_NE(check(">s1\nACXDE\n>s2\nACBD\n").find("differ in length"), std::string::npos);
  EXPECT_NE(check("").find("neither aligned FASTA nor MSF"), std::string::npos);
  std::string why;
  EXPECT_FALSE(validateAlignment(dir.file("none"), data, &rows, &why));
  EXPECT_EQ(why, "no alignment written");
}

TEST(AlignerNames, ParseSpellingsAndLists) {
  int kind = -5;
  EXPECT_TRUE(parseAlignerName(" Dialign-TX ", &kind));
  EXPECT_EQ(kind, DIALIGNTX);
  EXPECT_TRUE(parseAlignerName("muscle3.8", &kind));
  EXPECT_EQ(kind, MUSCLE);
  std::vector<int> kinds;
  std::string error;
  EXPECT_TRUE(parseAlignerList("mafft,KALIGN,mafft", &kinds, &error));
  EXPECT_EQ(kinds, (std::vector<int>{MAFFT, KALIGN}));
  EXPECT_FALSE(parseAlignerList("mafft,,kalign", &kinds, &error));
  EXPECT_TRUE(parseAlignerList("Clustal-Omega,muscle5,muscle", &kinds, &error));
  EXPECT_EQ(kinds, (std::vector<int>{CLUSTALO, MUSCLE5, MUSCLE}));
  EXPECT_FALSE(parseAlignerList("tcoffee", &kinds, &error));
  EXPECT_NE(error.find("tcoffee"), std::string::npos);
}

}  // namespace
}  // namespace runs
