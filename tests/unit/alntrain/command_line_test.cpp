// alntrain's command line: names, defaults, and the refusals of options
// that do not go together.
#include "alntrain/command_line.h"

#include <gtest/gtest.h>

#include "runs/job_pool.h"
#include "test_support.h"

namespace alntrain {
namespace {

using Parsed = testing_support::ParsedCommandLine<TrainOptions>;

Parsed parse(std::vector<std::string> args) {
  return testing_support::parseArguments<TrainOptions>("alntrain", std::move(args),
                                                       parseCommandLine);
}

TEST(AlntrainCommandLine, Defaults) {
  const Parsed p = parse({"bench"});
  ASSERT_EQ(p.status, -1) << p.output.err;
  const TrainOptions& o = p.options;
  EXPECT_EQ(o.benchmark, "bench");
  EXPECT_EQ(o.seed, 237);
  EXPECT_EQ(o.generations, 8);
  EXPECT_EQ(o.population, 16);
  EXPECT_EQ(o.budget, 0);
  EXPECT_EQ(o.jobs, runs::onlineCores());
  EXPECT_EQ(o.aligners, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(o.folds, 0);
  EXPECT_FALSE(o.resume || o.force || o.runsOnly || o.listConfigurations || o.quiet);
}

TEST(AlntrainCommandLine, EveryOptionByName) {
  const Parsed p = parse({"-o",
                          "out",
                          "--seed",
                          "9",
                          "--generations",
                          "2",
                          "--population",
                          "6",
                          "--budget",
                          "40",
                          "-j",
                          "1",
                          "--aligners",
                          "mafft",
                          "--timeout",
                          "30",
                          "--resume",
                          "--folds",
                          "4",
                          "--space",
                          "s.json",
                          "--tools",
                          "t",
                          "--configurations",
                          "list",
                          "--runs-only",
                          "-q",
                          "bench"});
  ASSERT_EQ(p.status, -1) << p.output.err;
  const TrainOptions& o = p.options;
  EXPECT_EQ(o.outputFolder, "out");
  EXPECT_EQ(o.seed, 9);
  EXPECT_EQ(o.generations, 2);
  EXPECT_EQ(o.population, 6);
  EXPECT_EQ(o.budget, 40);
  EXPECT_EQ(o.jobs, 1);
  EXPECT_EQ(o.aligners, (std::vector<int>{3}));
  EXPECT_EQ(o.timeoutSeconds, 30);
  EXPECT_EQ(o.folds, 4);
  EXPECT_EQ(o.space, "s.json");
  EXPECT_EQ(o.tools, "t");
  EXPECT_EQ(o.configurations, "list");
  EXPECT_TRUE(o.resume && o.runsOnly && o.quiet);
  const Parsed list = parse({"--list-configurations", "--sample", "12"});
  ASSERT_EQ(list.status, -1) << list.output.err;
  EXPECT_TRUE(list.options.listConfigurations);
  EXPECT_EQ(list.options.sample, 12);
}

TEST(AlntrainCommandLine, RefusalsAreOneLineAndStatusTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},                                       // no benchmark
           {"--list-configurations", "bench"},       // a benchmark with the listing
           {"--runs-only", "bench"},                 // without --configurations
           {"--sample", "5", "bench"},               // without --list-configurations
           {"--resume", "--force", "bench"},         // both
           {"--seed", "-1", "bench"},                // out of range
           {"--folds", "1", "bench"},                // too few folds
           {"--aligners", "clustal,x", "bench"}}) {  // unknown aligner
    const Parsed p = parse(args);
    EXPECT_EQ(p.status, kBadUsage) << testing::PrintToString(args);
    EXPECT_EQ(std::count(p.output.err.begin(), p.output.err.end(), '\n'), 1) << p.output.err;
    EXPECT_EQ(p.output.err.rfind("alntrain: ", 0), 0u) << p.output.err;
  }
}

}  // namespace
}  // namespace alntrain
