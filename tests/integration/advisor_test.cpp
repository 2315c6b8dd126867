// The whole advice with the real aligners on BAliBASE sets that Debian
// ships: reference and agreement modes, the merge, a missing aligner, a
// hanging one and a data set where every run fails.
#include "alnadvise/advisor.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "test_support.h"
#include "tools_folder.h"

using namespace testing_support;
using alnadvise::AdviseOptions;
using nlohmann::json;

namespace {

const std::string kExamples = "/usr/share/doc/kalign/examples/";

class AdvisorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (realToolsFolder().empty()) FAIL() << "GETCHAR_TOOLS_DIR is not set";
    options.dataSet = kExamples + "BB11001.tfa";
    options.outputFolder = dir.file("out");
    options.table = "/dev/null";
    options.front = "/dev/null";
    options.tools = realToolsFolder();
    options.jobs = 2;
    options.quiet = true;
  }

  // Runs the advice; returns report.json (null when absent).
  json advise(int expectedStatus) {
    int status = -1;
    captured = capture([&] { status = alnadvise::runAdvisor(options); });
    EXPECT_EQ(status, expectedStatus) << captured.err;
    const std::string text = readFile(options.outputFolder + "/report.json");
    return text.empty() ? json() : json::parse(text);
  }

  static const json& byAligner(const json& report, const std::string& aligner) {
    for (const json& c : report["candidates"])
      if (c["aligner"] == aligner && c["options"] == "") return c;
    static json none;
    return none;
  }

  TempDir dir;
  AdviseOptions options;
  Captured captured;
};

TEST_F(AdvisorTest, ReferenceModeRanksByQAndTcAndRestoresNames) {
  options.reference = kExamples + "BB11001.msf";
  options.merge = false;
  const json report = advise(0);
  EXPECT_EQ(report["mode"], "reference");
  ASSERT_EQ(report["candidates"].size(), 8u);  // five defaults, three consistency strategies
  double previous = 3;
  for (const json& c : report["candidates"]) {
    EXPECT_EQ(c["status"], "done") << c.dump();
    const double sum = c["Q"].get<double>() + c["TC"].get<double>();
    EXPECT_GT(c["Q"].get<double>(), 0.3);
    EXPECT_LE(sum, previous);
    previous = sum;
    EXPECT_TRUE(fileExists(options.outputFolder + "/" + c["file"].get<std::string>()));
  }
  EXPECT_EQ(report["candidates"][0]["rank"], 1);
  const std::string best = readFile(options.outputFolder + "/best.fasta");
  EXPECT_EQ(best, readFile(options.outputFolder + "/" +
                           report["candidates"][0]["file"].get<std::string>()));
  EXPECT_NE(best.find(">1aab_\n"), std::string::npos);
  EXPECT_NE(captured.out.find("rank  aligner"), std::string::npos);
}

TEST_F(AdvisorTest, AgreementModeMergesAndKeepsTheMergeOutOfOthersMeans) {
  options.aligners = {2, 3, 4};  // Kalign, MAFFT, MUSCLE
  const json report = advise(0);
  EXPECT_EQ(report["mode"], "agreement");
  const json* merge = nullptr;
  for (const json& c : report["candidates"]) {
    EXPECT_EQ(c["status"], "done") << c.dump();
    EXPECT_TRUE(c["Q"].is_null());
    if (c["aligner"] == "MERGE") merge = &c;
  }
  ASSERT_NE(merge, nullptr);
  EXPECT_EQ((*merge)["mergeInputs"].size(), 3u);
  // Six candidates: the merge is compared with the three it was not made of.
  ASSERT_EQ(report["candidates"].size(), 7u);
  EXPECT_TRUE((*merge)["agreement"].is_number());
  EXPECT_EQ((*merge)["file"], "alignments/merge.fasta");
  EXPECT_GT(report["timing"]["runSeconds"].get<double>(), 0);
  EXPECT_TRUE(fileExists(options.outputFolder + "/best.fasta"));
}

TEST_F(AdvisorTest, MissingAlignerIsReportedAndTheRestGoOn) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {{"kalign2", ""}}));
  options.tools = dir.file("tools");
  options.merge = false;
  options.aligners = {2, 4};
  const json report = advise(0);
  EXPECT_EQ(byAligner(report, "KALIGN")["status"], "missing bin/kalign2");
  EXPECT_TRUE(byAligner(report, "KALIGN")["rank"].is_null());
  EXPECT_EQ(byAligner(report, "MUSCLE")["status"], "done");
}

TEST_F(AdvisorTest, HangingAlignerTimesOut) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {{"mafft", "sleep 30\n"}}));
  options.tools = dir.file("tools");
  options.aligners = {2, 3};
  options.timeoutSeconds = 1;
  options.merge = false;
  const json report = advise(0);
  int timedOut = 0;
  for (const json& c : report["candidates"]) {
    if (c["aligner"] == "MAFFT") {
      EXPECT_EQ(c["status"], "timed out");
      ++timedOut;
    }
  }
  EXPECT_EQ(timedOut, 4);
  EXPECT_EQ(byAligner(report, "KALIGN")["rank"], 1);
}

TEST_F(AdvisorTest, EveryRunFailingLeavesNoBestAlignment) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"),
                              {{"kalign2", "exit 1\n"}, {"muscle3.8", "echo '>s1' > \"$4\"\n"}}));
  options.tools = dir.file("tools");
  options.aligners = {2, 4};
  const json report = advise(1);
  EXPECT_TRUE(report["best"].is_null());
  EXPECT_NE(byAligner(report, "KALIGN")["status"].get<std::string>().find("no alignment written"),
            std::string::npos);
  EXPECT_NE(byAligner(report, "MUSCLE")["status"].get<std::string>().find("invalid alignment"),
            std::string::npos);
  EXPECT_FALSE(fileExists(options.outputFolder + "/best.fasta"));
  EXPECT_NE(captured.err.find("every run failed"), std::string::npos);
}

}  // namespace
