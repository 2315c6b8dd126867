// --output-format: the list it takes, and the best.<ext> files it writes.
#include "alnadvise/alignment_outputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "alnadvise/command_line.h"
#include "test_support.h"

namespace alnadvise {
namespace {

using scoring::TextFormat;
using Parsed = testing_support::ParsedCommandLine<AdviseOptions>;

Parsed parse(std::vector<std::string> args) {
  return testing_support::parseArguments<AdviseOptions>("alnadvise", std::move(args),
                                                        parseCommandLine);
}

TEST(AlnadviseOutputFormats, ListOnTheCommandLine) {
  EXPECT_TRUE(parse({"d.fa"}).options.alignmentFormats.empty());
  const Parsed p = parse({"--output-format", "msf,fasta,clustal,msf", "d.fa"});
  ASSERT_EQ(p.status, -1) << p.output.err;
  EXPECT_EQ(p.options.alignmentFormats,
            (std::vector<TextFormat>{TextFormat::kMsf, TextFormat::kClustal}));
  EXPECT_EQ(parse({"--output-format", "stockholm,phylip", "d.fa"}).options.alignmentFormats,
            (std::vector<TextFormat>{TextFormat::kStockholm, TextFormat::kPhylip}));
  for (const char* bad : {"clustal,nexus", "clustal,", ""}) {
    const Parsed refused = parse({"--output-format", bad, "d.fa"});
    EXPECT_EQ(refused.status, kBadInput) << bad;
    EXPECT_EQ(refused.output.err.rfind("alnadvise: --output-format: ", 0), 0u)
        << refused.output.err;
    EXPECT_EQ(std::count(refused.output.err.begin(), refused.output.err.end(), '\n'), 1);
  }
  EXPECT_NE(parse({"--output-format", "nexus", "d.fa"}).output.err.find("unknown format 'nexus'"),
            std::string::npos);
}

TEST(AlnadviseOutputFormats, WritesEachFileOrSaysWhichFailed) {
  testing_support::TempDir dir;
  const std::vector<TextFormat> all = scoring::textFormats();
  std::string error;
  std::filesystem::create_directories(dir.file("ok"));
  ASSERT_TRUE(writeBestFormats(all, dir.file("ok"), {"a x", "b"}, {"AC", "-C"}, {}, &error)) << error;
  for (const char* name : {"best.aln", "best.sto", "best.phy", "best.msf"})
    EXPECT_TRUE(std::filesystem::exists(dir.file("ok/") + name)) << name;
  EXPECT_EQ(testing_support::readFile(dir.file("ok/best.phy")), "2 2\na AC\nb -C\n");
  const std::string plain = testing_support::readFile(dir.file("ok/best.sto"));
  EXPECT_EQ(plain.find("#=G"), std::string::npos) << plain;
  // A known confidence goes into best.sto, and only there.
  advice::Confidence confidence;
  confidence.known = true;
  confidence.columns = {std::nan(""), 0.5};
  confidence.residues = {{std::nan(""), 0.5}, {0.5}};
  ASSERT_TRUE(writeBestFormats(all, dir.file("ok"), {"a x", "b"}, {"AC", "-C"}, confidence, &error));
  const std::string marked = testing_support::readFile(dir.file("ok/best.sto"));
  EXPECT_NE(marked.find("#=GC PP_cons .5\n"), std::string::npos) << marked;
  EXPECT_NE(marked.find("#=GR b PP    .5\n"), std::string::npos) << marked;
  EXPECT_EQ(testing_support::readFile(dir.file("ok/best.phy")), "2 2\na AC\nb -C\n");

  // A folder that is gone: nothing written, not even a temporary file.
  const std::string gone = dir.file("gone");
  EXPECT_FALSE(writeBestFormats(all, gone, {"a"}, {"AC"}, {}, &error));
  EXPECT_EQ(error.rfind("cannot write '" + gone + "/best.aln'", 0), 0u) << error;
  // A best.sto that cannot be replaced (a folder there): best.aln written, the rest not.
  std::filesystem::create_directories(dir.file("full/best.sto"));
  EXPECT_FALSE(writeBestFormats(all, dir.file("full"), {"a"}, {"AC"}, {}, &error));
  EXPECT_NE(error.find("best.sto"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::exists(dir.file("full/best.aln")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("full/best.phy")));
  const auto entries = std::distance(std::filesystem::directory_iterator(dir.file("full")),
                                     std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 2);  // no temporary file left
}

}  // namespace
}  // namespace alnadvise
