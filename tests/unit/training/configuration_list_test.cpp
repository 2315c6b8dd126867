// Lists of configurations: the two line formats a list file takes and its
// faults, and listing an option space whole or as a sample.
#include "training/configuration_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "getChar.h"
#include "training/genome.h"
#include "training/search.h"

namespace training {
namespace {

std::string writeList(const std::string& text) {
  char path[] = "/tmp/configuration_list_testXXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  std::ofstream(path) << text;
  return path;
}

TEST(ConfigurationList, ReadsAlignerLinesAndFrontLinesOnceEach) {
  const std::string path = writeList(
      "# a comment\nMAFFT\t\nmafft\t--localpair   --maxiterate 1000\n\n"
      "0.3;0.4;0.1;2;-gpo 3.5\r\nMAFFT\t\ndialign-tx\t-l1\n");
  std::vector<runs::Configuration> list;
  std::string error;
  ASSERT_TRUE(readConfigurationList(path, &list, &error)) << error;
  std::remove(path.c_str());
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(configurationKey(list[0]), "3\t");
  EXPECT_EQ(list[1].options, "--localpair --maxiterate 1000");
  EXPECT_EQ(configurationKey(list[2]), "2\t-gpo 3.5");
  EXPECT_EQ(list[3].kind, DIALIGNTX);
  EXPECT_EQ(formatConfigurationList({list[0], list[2]}), "MAFFT\t\nKALIGN\t-gpo 3.5\n");
}

TEST(ConfigurationList, RefusesWhatCannotBeRunSafely) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"MAFFT\t--op 1\nNOPE\t\n", "line 2: unknown aligner 'NOPE'"},
      {"MAFFT --op 1\n", "line 1: neither"},
      {"0.1;0.2;0.3;7;\n", "line 1: neither"},
      {"MAFFT\t--op 1; rm -rf x\n", "hold ';'"},
      {"MAFFT\t--op\t1\n", "hold a tab"},
      {"# nothing\n\n", "no configuration"},
  };
  for (const auto& c : cases) {
    const std::string path = writeList(c.text);
    std::vector<runs::Configuration> list;
    std::string error;
    EXPECT_FALSE(readConfigurationList(path, &list, &error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    std::remove(path.c_str());
  }
  std::vector<runs::Configuration> list;
  std::string error;
  EXPECT_FALSE(readConfigurationList("/nonexistent/list", &list, &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(ConfigurationList, ListsTheWholeSpaceOrASampleWithTheDefaultsFirst) {
  OptionSpace s;
  std::string error;
  ASSERT_TRUE(parseOptionSpace(R"({"aligners": [
    {"aligner": "clustalw", "genes": [{"name": "m", "values": ["", "-matrix=PAM"]}]},
    {"aligner": "dialign-tx", "genes": []}, {"aligner": "kalign", "genes": []},
    {"aligner": "muscle", "genes": []},
    {"aligner": "mafft", "genes": [{"name": "s", "values": ["--retree 1", "", "--localpair"]},
      {"name": "op", "option": "--op", "values": [0.5, 3], "default": 1.53}]}]})",
                               &s, &error))
      << error;
  std::vector<runs::Configuration> list;
  ASSERT_TRUE(listConfigurations(s, {MAFFT, CLUSTALW}, 0, &list, &error)) << error;
  ASSERT_EQ(list.size(), 3u * 3u + 2u);
  EXPECT_EQ(configurationKey(list[0]), "3\t");
  EXPECT_EQ(configurationKey(list[9]), "0\t");
  std::set<std::string> keys;
  for (const auto& c : list) keys.insert(configurationKey(c));
  EXPECT_EQ(keys.size(), list.size());
  EXPECT_TRUE(keys.count("3\t--localpair --op 0.5"));

  seedGenerator(5);
  ASSERT_TRUE(listConfigurations(s, {MAFFT, CLUSTALW}, 5, &list, &error));
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(configurationKey(list[0]), "3\t");
  EXPECT_EQ(configurationKey(list[1]), "0\t");
  std::vector<runs::Configuration> again;
  seedGenerator(5);
  ASSERT_TRUE(listConfigurations(s, {MAFFT, CLUSTALW}, 5, &again, &error));
  EXPECT_TRUE(list == again);
  // A sample as large as the space is the whole space.
  ASSERT_TRUE(listConfigurations(s, {CLUSTALW}, 50, &list, &error));
  EXPECT_EQ(list.size(), 2u);
}

}  // namespace
}  // namespace training
