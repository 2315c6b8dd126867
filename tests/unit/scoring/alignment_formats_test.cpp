// The Clustal, Stockholm, PHYLIP and MSF writers and the Clustal and
// Stockholm readers: what one writes, the readers give back (the real
// programs' reading is tests/scripts/alignment_formats_test.sh).
#include "scoring/alignment_formats.h"

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>

#include "parsed_alignment.h"
#include "test_support.h"

namespace scoring {
namespace {

std::string withDashes(std::string_view row) {
  std::string s(row);
  std::replace(s.begin(), s.end(), '.', '-');
  return s;
}

std::string parseError(const std::string& text) {
  Alignment a;
  std::string error;
  EXPECT_FALSE(parseAlignment(text, &a, &error)) << text;
  return error;
}

// 130 columns: three Clustal blocks, three MSF blocks; a row of gaps only.
TEST(AlignmentFormats, EveryFormatReadsBackAsWritten) {
  const std::string a = std::string(70, 'A') + "cdefGHIKLMNPQRSTVWY" + std::string(41, '-');
  const std::vector<std::string> headers = {"sp|P1|ONE first protein", "two", "allgaps x"};
  const std::vector<std::string> rows = {a, std::string(65, '.') + a.substr(65),
                                         std::string(130, '-')};
  for (TextFormat format : {TextFormat::kClustal, TextFormat::kStockholm, TextFormat::kMsf}) {
    SCOPED_TRACE(formatName(format));
    const Alignment back = parsedAlignment(formatAlignment(format, headers, rows));
    ASSERT_EQ(back.sequences.size(), 3u);
    EXPECT_EQ(back.sequences[0].name, "sp|P1|ONE");
    EXPECT_EQ(back.sequences[2].name, "allgaps");
    for (size_t i = 0; i < rows.size(); ++i)
      EXPECT_EQ(withDashes(back.sequences[i].row), withDashes(rows[i]));
  }
  const std::string phylip = formatAlignment(TextFormat::kPhylip, headers, rows);
  EXPECT_EQ(phylip.substr(0, phylip.find('\n')), "3 130");
  EXPECT_NE(phylip.find("\nallgaps   " + std::string(130, '-') + "\n"), std::string::npos);
}

TEST(AlignmentFormats, MsfHeaderCarriesGcgChecksumsAndType) {
  // GCG: sum of (position mod 57, from 1) times the upper-case letter.
  const std::string protein = formatAlignment(TextFormat::kMsf, {"a", "b"}, {"AC", "-w"});
  EXPECT_NE(protein.find("Name: a  Len: 2  Check:  199"), std::string::npos) << protein;
  EXPECT_NE(protein.find("Name: b  Len: 2  Check:  220"), std::string::npos) << protein;
  EXPECT_NE(protein.find("MSF: 2  Type: P  Check:  419  .."), std::string::npos) << protein;
  const std::string dna = formatAlignment(TextFormat::kMsf, {"a"}, {"ACG-T"});
  EXPECT_NE(dna.find("Type: N"), std::string::npos);
  EXPECT_EQ(dna.rfind("!!NA_MULTIPLE_ALIGNMENT", 0), 0u);
}

TEST(AlignmentFormats, PhylipNamesAreSafeInATree) {
  const std::vector<std::string> headers = {"sp|P1:a(b),c;d", "x[1]'q\"", "a_b", "a:b", "a_b_2 x"};
  const std::vector<std::string> names = formatRowNames(TextFormat::kPhylip, headers);
  // Newick's marks made '_'; a name that then collides is numbered past
  // every name already taken ("a_b_2" is the last row's own id).
  EXPECT_EQ(names, (std::vector<std::string>{"sp|P1_a_b__c_d", "x_1__q_", "a_b", "a_b_3", "a_b_2"}));
  // The other formats keep the names as they are.
  EXPECT_EQ(formatRowNames(TextFormat::kClustal, headers), rowNames(headers));
  const std::string text = formatAlignment(TextFormat::kPhylip, headers,
                                           {"A", "A", "A", "A", "A"});
  EXPECT_NE(text.find("\na_b_3 "), std::string::npos) << text;
}

TEST(AlignmentFormats, ClustalMarksConservedColumns) {
  const std::string text = formatAlignment(TextFormat::kClustal, {"x", "y"}, {"AASAW-", "AATVF-"});
  // A A identical, S/T strong (STA), A/V weak (ATV), W/F strong (FYW), gap.
  EXPECT_NE(text.find("\n       **:.: \n"), std::string::npos) << text;
}

TEST(AlignmentFormats, NamesAreOneWordUniqueAndWhole) {
  EXPECT_EQ(rowNames({"a desc", "b  other"}), (std::vector<std::string>{"a", "b"}));
  // Ids that collide: the whole header, blanks made '_'; still colliding: numbered.
  EXPECT_EQ(rowNames({"a one", "a  two", "a_two", ""}),
            (std::vector<std::string>{"a_one", "a_two", "a_two_2", "seq"}));
  EXPECT_EQ(rowNames({"x", "x"}), (std::vector<std::string>{"x", "x_2"}));
  // Stockholm would take these for markup or the end.
  EXPECT_EQ(rowNames({"#1", "//"}), (std::vector<std::string>{"_#1", "_//"}));
  const std::string longA(200, 'a'), longB = longA + "b";
  EXPECT_EQ(rowNames({longA, longB}), (std::vector<std::string>{longA, longB}));
  for (TextFormat format : {TextFormat::kClustal, TextFormat::kStockholm, TextFormat::kMsf}) {
    const Alignment back = parsedAlignment(formatAlignment(format, {longA, longB}, {"AC", "A-"}));
    EXPECT_EQ(back.sequences[1].name, longB) << formatName(format);
  }
}

TEST(AlignmentFormats, FormatNames) {
  TextFormat f;
  for (TextFormat format : textFormats()) {
    ASSERT_TRUE(formatByName(formatName(format), &f));
    EXPECT_EQ(f, format);
  }
  EXPECT_EQ(std::string(formatExtension(TextFormat::kStockholm)), ".sto");
  EXPECT_FALSE(formatByName("fasta", &f));
  EXPECT_FALSE(formatByName("Clustal", &f));
}

TEST(AlignmentFormats, ReadersAcceptWhatOtherProgramsWrite) {
  // Residue counts, a conservation line, Stockholm markup and two blocks.
  Alignment c = parsedAlignment(
      "CLUSTAL O(1.2.4) multiple sequence alignment\n\n\n"
      "s1      AC-D 3\ns2      ACED 4\n        ** *\n\ns1      EE 5\ns2      EF 6\n");
  ASSERT_EQ(c.sequences.size(), 2u);
  EXPECT_EQ(c.sequences[0].row, "AC-DEE");
  Alignment s = parsedAlignment(
      "# STOCKHOLM 1.0\n#=GF ID x\n\ns1 AC.D\ns2 ACED\n#=GC SS_cons ....\n\ns1 E\ns2 F\n//\n\n");
  EXPECT_EQ(s.sequences[0].row, "AC.DE");
  EXPECT_EQ(s.sequences[1].row, "ACEDF");
}

TEST(AlignmentFormats, StockholmConfidenceInHmmersConvention) {
  EXPECT_EQ(probabilityCharacter(0), '0');
  EXPECT_EQ(probabilityCharacter(0.0499), '0');
  EXPECT_EQ(probabilityCharacter(0.05), '1');
  EXPECT_EQ(probabilityCharacter(0.849), '8');
  EXPECT_EQ(probabilityCharacter(0.85), '9');
  EXPECT_EQ(probabilityCharacter(0.9499), '9');
  EXPECT_EQ(probabilityCharacter(0.95), '*');
  EXPECT_EQ(probabilityCharacter(1), '*');
  EXPECT_EQ(probabilityCharacter(std::nan("")), '.');

  const double none = std::nan("");
  std::string text, error;
  ASSERT_TRUE(formatStockholmWithConfidence({"a x", "#b"}, {"AC-D", "A-CD"}, {1, none, none, 0.3},
                                            {{1, none, 0.2}, {0.96, none, 0.4}}, &text, &error))
      << error;
  EXPECT_EQ(text,
            "# STOCKHOLM 1.0\n\n"
            "a            AC-D\n"
            "_#b          A-CD\n"
            "#=GR a PP    *..2\n"
            "#=GR _#b PP  *..4\n"
            "#=GC PP_cons *..3\n//\n");
  // The markup is skipped by the reader: the rows read back.
  Alignment back;
  ASSERT_TRUE(parseStockholm(text, &back, &error)) << error;
  EXPECT_EQ(back.sequences[1].row, "A-CD");
  // Numbers that do not fit the rows are refused.
  EXPECT_FALSE(formatStockholmWithConfidence({"a"}, {"AC"}, {1}, {}, &text, &error));
  EXPECT_FALSE(formatStockholmWithConfidence({"a"}, {"AC"}, {}, {{1}}, &text, &error));
  EXPECT_FALSE(formatStockholmWithConfidence({"a"}, {"AC"}, {}, {{1, 1, 1}}, &text, &error));
  EXPECT_FALSE(formatStockholmWithConfidence({"a", "b"}, {"AC", "AC"}, {}, {{1, 1}}, &text, &error));
}

TEST(AlignmentFormats, MalformedFilesFailWithTheLine) {
  EXPECT_EQ(parseError("CLUSTAL W\n\na AC\nb AC\n\nb AC\na AC\n").rfind("line 6: expected 'a'", 0),
            0u);
  EXPECT_EQ(parseError("CLUSTAL W\n\na AC\nb AC\n\na AC\n").rfind("line 7: the block has 1", 0),
            0u);
  EXPECT_EQ(parseError("CLUSTAL W\n\na AC x\n").rfind("line 3:", 0), 0u);
  EXPECT_EQ(parseError("CLUSTAL W\n\na AC\na AC\n").rfind("line 4: 'a' appears twice", 0), 0u);
  EXPECT_NE(parseError("CLUSTAL W\n\na AC\nb A\n").find("differ in length"), std::string::npos);
  EXPECT_EQ(parseError("CLUSTAL W\n").rfind("no sequences", 0), 0u);
  EXPECT_EQ(parseError("# STOCKHOLM 1.0\na AC\n").rfind("no '//'", 0), 0u);
  EXPECT_EQ(parseError("# STOCKHOLM 1.0\na AC\n//\nb AC\n").rfind("line 4: text after", 0), 0u);
  EXPECT_EQ(parseError("# STOCKHOLM 1.0\na A C\n//\n").rfind("line 2: expected a name", 0), 0u);
  Alignment a;
  std::string error;
  EXPECT_FALSE(parseClustal("x\nCLUSTAL\n", &a, &error));
  EXPECT_EQ(error, "line 1: no CLUSTAL header");
  EXPECT_FALSE(parseStockholm("", &a, &error));
  testing_support::TempDir dir;
  testing_support::writeFile(dir.file("bad.aln"), "CLUSTAL W\n\na AC\na AC\n");
  EXPECT_FALSE(readAlignmentFile(dir.file("bad.aln"), &a, &error));
  EXPECT_EQ(error, "'" + dir.file("bad.aln") + "': line 4: 'a' appears twice in a block");
}

}  // namespace
}  // namespace scoring
