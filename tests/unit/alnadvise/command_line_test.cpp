// alnadvise's command line: every option reaches AdviseOptions under its
// name, the defaults are the documented ones, and bad usage is refused with
// status 2 and one line on standard error.
#include "alnadvise/command_line.h"

#include <gtest/gtest.h>

#include "runs/job_pool.h"
#include "test_support.h"

namespace alnadvise {
namespace {

using Parsed = testing_support::ParsedCommandLine<AdviseOptions>;

Parsed parse(std::vector<std::string> args) {
  return testing_support::parseArguments<AdviseOptions>("alnadvise", std::move(args),
                                                        parseCommandLine);
}

TEST(AlnadviseCommandLine, Defaults) {
  const Parsed p = parse({"family.fasta"});
  ASSERT_EQ(p.status, -1) << p.output.err;
  EXPECT_EQ(p.options.dataSet, "family.fasta");
  EXPECT_EQ(p.options.reference, "");
  EXPECT_EQ(p.options.outputFolder, "");
  EXPECT_EQ(p.options.jobs, runs::onlineCores());
  EXPECT_EQ(p.options.aligners, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(p.options.timeoutSeconds, 0);
  EXPECT_FALSE(p.options.merge);  // the merge is asked for
  EXPECT_EQ(p.options.effort, "default");
  EXPECT_TRUE(p.options.html);
  EXPECT_FALSE(p.options.keep || p.options.force || p.options.quiet);
  EXPECT_EQ(p.options.format, OutputFormat::kTable);
  EXPECT_EQ(p.options.estimator, "");  // the model file's default
  EXPECT_EQ(p.options.choiceModel, "");
}

TEST(AlnadviseCommandLine, EveryOptionByName) {
  const Parsed p =
      parse({"-r",        "ref.msf", "-o",         "out",       "-t",         "table",
             "-f",        "front",   "-j",         "3",         "--aligners", "MUSCLE, kalign",
             "--timeout", "2.5",     "--no-merge", "--no-html", "--keep",     "--force",
             "--tools",   "tools",   "--format",   "json",      "-q",         "--estimator",
             "learned",   "--choice-model", "model.json", "--effort", "thorough", "--mask", "0.4",
             "--trim",    "0",       "d.fa"});
  ASSERT_EQ(p.status, -1) << p.output.err;
  const AdviseOptions& o = p.options;
  EXPECT_EQ(o.reference, "ref.msf");
  EXPECT_EQ(o.outputFolder, "out");
  EXPECT_EQ(o.table, "table");
  EXPECT_EQ(o.front, "front");
  EXPECT_EQ(o.jobs, 3);
  EXPECT_EQ(o.aligners, (std::vector<int>{4, 2}));
  EXPECT_EQ(o.timeoutSeconds, 2.5);
  EXPECT_FALSE(o.merge || o.html);
  EXPECT_TRUE(o.keep && o.force && o.quiet);
  EXPECT_EQ(o.tools, "tools");
  EXPECT_EQ(o.format, OutputFormat::kJson);
  EXPECT_EQ(o.estimator, "learned");
  EXPECT_EQ(o.choiceModel, "model.json");
  EXPECT_EQ(o.effort, "thorough");
  EXPECT_EQ(o.mask, 0.4);
  EXPECT_EQ(o.trim, 0);
  EXPECT_LT(parse({"d.fa"}).options.mask, 0);  // not asked for
  EXPECT_EQ(parse({"--format", "tsv", "d.fa"}).options.format, OutputFormat::kTsv);
  EXPECT_TRUE(parse({"--merge", "d.fa"}).options.merge);
}

TEST(AlnadviseCommandLine, RefusalsAreOneLineAndStatusTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"a.fa", "b.fa"},
                                             {"-j", "0", "d.fa"},
                                             {"--timeout", "-1", "d.fa"},
                                             {"--format", "xml", "d.fa"},
                                             {"--estimator", "best", "d.fa"},
                                             {"--effort", "quick", "d.fa"},
                                             {"--mask", "1.5", "d.fa"},
                                             {"--trim", "-0.1", "d.fa"},
                                             {"--merge", "--no-merge", "d.fa"},
                                             {"--aligners", "mafft,nosuch", "d.fa"},
                                             {"--no-such-option", "d.fa"}}) {
    const Parsed p = parse(args);
    EXPECT_EQ(p.status, kBadInput) << testing::PrintToString(args);
    EXPECT_EQ(p.output.out, "");
    EXPECT_EQ(std::count(p.output.err.begin(), p.output.err.end(), '\n'), 1) << p.output.err;
    EXPECT_EQ(p.output.err.rfind("alnadvise: ", 0), 0u) << p.output.err;
  }
  EXPECT_NE(parse({"--aligners", "mafft,nosuch", "d.fa"}).output.err.find("'nosuch'"),
            std::string::npos);
}

TEST(AlnadviseCommandLine, HelpAndVersionEndAtOnce) {
  const Parsed help = parse({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.out.find("--aligners"), std::string::npos);
  const Parsed version = parse({"--version", "--no-such-option"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output.out.rfind("alnadvise ", 0), 0u);
}

}  // namespace
}  // namespace alnadvise
