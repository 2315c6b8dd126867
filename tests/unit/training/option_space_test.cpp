// The option space file: genome -> options text -> key, the defaults, and
// the faults a space file can hold.
#include "training/option_space.h"

#include <gtest/gtest.h>

#include <set>

#include "getChar.h"
#include "training/genome.h"
#include "training/search.h"

namespace training {
namespace {

std::string space(const std::string& mafftGenes) {
  return R"({"aligners": [{"aligner": "clustalw", "genes": []}, {"aligner": "dialign-tx", "genes": []},
    {"aligner": "kalign", "genes": []}, {"aligner": "muscle", "genes": []},
    {"aligner": "mafft", "genes": [)" +
         mafftGenes + "]}]}";
}

const char kMafft[] = R"({"name": "strategy", "values": ["--retree  1", "", "--localpair"]},
  {"name": "op", "option": "--op", "values": [0.5, 3], "default": 1.53},
  {"name": "bl", "option": "--bl", "min": 30, "max": 80, "step": 25})";

TEST(OptionSpace, EncodesGenesAsOptionTextsInSpaceOrder) {
  OptionSpace s;
  std::string error;
  ASSERT_TRUE(parseOptionSpace(space(kMafft), &s, &error)) << error;
  const std::vector<Gene>& genes = s.genes(MAFFT);
  ASSERT_EQ(genes.size(), 3u);
  EXPECT_EQ(genes[0].texts, (std::vector<std::string>{"--retree 1", "", "--localpair"}));
  EXPECT_EQ(genes[0].defaultAllele, 1);
  // The default value joins the values in order and writes nothing.
  EXPECT_EQ(genes[1].texts, (std::vector<std::string>{"--op 0.5", "", "--op 3"}));
  EXPECT_EQ(genes[1].firstNumeric, 0);
  // Without a default, an allele that writes nothing comes first.
  EXPECT_EQ(genes[2].texts, (std::vector<std::string>{"", "--bl 30", "--bl 55", "--bl 80"}));
  EXPECT_EQ(s.offset(MAFFT), 0);
  EXPECT_EQ(s.totalGenes(), 3);
  EXPECT_EQ(s.nonDefaultValues(), 2 + 2 + 3);

  Genome g = defaultGenome(s, MAFFT);
  EXPECT_EQ(configurationKey(configurationOf(s, g)), "3\t");
  g.alleles = {2, 0, 3};
  EXPECT_EQ(configurationOf(s, g).options, "--localpair --op 0.5 --bl 80");
  EXPECT_EQ(configurationKey(configurationOf(s, g)), "3\t--localpair --op 0.5 --bl 80");
  g.alleles = {1, 2, 0};
  EXPECT_EQ(configurationOf(s, g).options, "--op 3");

  // Every genome gives a distinct text: the key tells configurations apart.
  std::set<std::string> keys;
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      for (int c = 0; c < 4; ++c) {
        g.alleles = {a, b, c};
        keys.insert(configurationKey(configurationOf(s, g)));
      }
  EXPECT_EQ(keys.size(), 36u);
  EXPECT_EQ(formatOptionNumber(1e6), "1000000");
  EXPECT_EQ(formatOptionNumber(0.123), "0.123");
}

// A space written for the five classic aligners still loads: the other
// families have no genes, so they are searched at their defaults only. Each
// may be listed once, like the five.
TEST(OptionSpace, TheOtherFamiliesAreOptional) {
  OptionSpace s;
  std::string error;
  ASSERT_TRUE(parseOptionSpace(space(kMafft), &s, &error)) << error;
  for (int kind = runs::kClassicAligners; kind < runs::kAlignerKinds; ++kind)
    EXPECT_TRUE(s.genes(kind).empty()) << kind;
  EXPECT_EQ(s.totalGenes(), 3);
  std::string withProbcons = space(kMafft);
  withProbcons.insert(withProbcons.rfind("]}"),
                      R"(, {"aligner": "probcons", "genes": [{"name": "c", "option": "-c",
                          "values": [0], "default": 2}]})");
  ASSERT_TRUE(parseOptionSpace(withProbcons, &s, &error)) << error;
  ASSERT_EQ(s.genes(PROBCONS).size(), 1u);
  EXPECT_EQ(s.offset(PROBCONS), 3);
  EXPECT_EQ(s.totalGenes(), 4);
  std::string twice = withProbcons;
  twice.insert(twice.rfind("]}"), R"(, {"aligner": "PROBCONS", "genes": []})");
  EXPECT_FALSE(parseOptionSpace(twice, &s, &error));
  EXPECT_NE(error.find("listed twice"), std::string::npos) << error;
}

TEST(OptionSpace, RefusesFaultySpaces) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"{", "not JSON"},
      {R"({"aligners": [{"aligner": "mafft", "genes": []}]})", "CLUSTALW: missing"},
      {space(R"({"name": "s", "values": ["--a", "--b"]})"), "exactly one value must be \"\""},
      {space(R"({"name": "s", "values": ["", "--a; rm -rf x"]})"), "';'"},
      {space(R"x({"name": "s", "values": ["", "$(reboot)"]})x"), "'$'"},
      {space(R"({"name": "s", "values": ["", "--a", " --a "]})"), "appears twice"},
      {space(R"({"name": "op", "option": "--op", "values": []})"), "list of numbers"},
      {space(R"({"values": ["", "--a"]})"), "needs a \"name\""},
      {R"({"aligners": [{"aligner": "aligny", "genes": []}]})", "known \"aligner\""},
  };
  for (const auto& [text, message] : cases) {
    OptionSpace s;
    std::string error;
    EXPECT_FALSE(parseOptionSpace(text, &s, &error)) << text;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  OptionSpace s;
  std::string error;
  EXPECT_FALSE(loadOptionSpace("/nonexistent/space.json", &s, &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(OptionSpace, TheShippedSpaceLoads) {
  OptionSpace s;
  std::string error;
  ASSERT_TRUE(loadOptionSpace(GETCHAR_SOURCE_DATA_DIR "/option-space.json", &s, &error)) << error;
  for (int kind = 0; kind < 5; ++kind) EXPECT_FALSE(s.genes(kind).empty()) << kind;
}

}  // namespace
}  // namespace training
