// Runs the alnscore executable as the aligner runner does and checks its
// report line, its exit status and what it leaves on standard error; then
// scores real aligners' output against BAliBASE references next to
// t_coffee's aln_compare.
#include <gtest/gtest.h>

#include <boost/algorithm/string.hpp>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

using testing_support::runProgram;
using testing_support::RunResult;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

const std::string kScorer = ALNSCORE_EXE;

// Reference rows a, b, c hold 8 residue pairs in 4 columns; e is absent
// from the test. The test keeps columns 0 and 1 whole, 1 of the 3 pairs
// of column 3 and none of column 2: Q = 5/8, TC = 2/4.
const char kReferenceMsf[] =
    "PileUp\n\n   MSF:   4  Type: P    Check:  1   ..\n\n"
    " Name: a oo  Len:   4  Check:  1  Weight:  1.0\n"
    " Name: b oo  Len:   4  Check:  1  Weight:  1.0\n"
    " Name: c oo  Len:   4  Check:  1  Weight:  1.0\n"
    " Name: e oo  Len:   4  Check:  1  Weight:  1.0\n\n//\n\n"
    "a     AC~D\nb     A.CD\nc     ACCD\ne     ACCD\n";
// Lower case in a, a substitution in c, an extra z, descriptions in names.
const char kTestFasta[] = ">a first\nacd-\n>z extra\nWWWW\n>b second\nAC-D\n>c third\nACGD\n";

RunResult score(const TempDir& dir, const std::string& test, const std::string& ref,
                std::vector<std::string> flags) {
  std::vector<std::string> argv = {kScorer, "-test", test, "-ref", ref};
  argv.insert(argv.end(), flags.begin(), flags.end());
  return runProgram(argv, dir.path());
}

const std::vector<std::string> kRunnerFlags = {"-seqdiffwarn", "-ignoremissingseqs",
                                               "-ignoretestcase", "-truncname", "-quiet"};

TEST(AlnscoreProgram, ReportsWhatTheRunnerReads) {
  TempDir dir;
  writeFile(dir.file("ref.msf"), kReferenceMsf);
  writeFile(dir.file("out"), kTestFasta);
  RunResult r = score(dir, "out", "ref.msf", kRunnerFlags);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Test=out;Ref=ref.msf;Q=0.625;TC=0.5\n");
  EXPECT_EQ(r.err,
            "alnscore: warning: residues differ between test and reference in 1 sequence(s);"
            " their residues were paired by position\n");

  std::vector<std::string> tokens;
  boost::algorithm::split(tokens, r.out, boost::algorithm::is_any_of("=;"));
  ASSERT_EQ(tokens.size(), 8u);
  EXPECT_EQ(std::strtod(tokens[5].c_str(), nullptr), 0.625);
  EXPECT_EQ(std::strtod(tokens[7].c_str(), nullptr), 0.5);

  // Without -quiet one summary line follows the warning; the report is the same.
  RunResult loud = score(dir, "out", "ref.msf",
                         {"-seqdiffwarn", "-ignoremissingseqs", "-ignoretestcase", "-truncname"});
  EXPECT_EQ(loud.out, r.out);
  EXPECT_NE(loud.err.find("\nalnscore: 3 sequence(s) scored, 1 missing from the test; 5 of 8"),
            std::string::npos);
}

TEST(AlnscoreProgram, ErrorsExitWithStatusOneAndNoReport) {
  TempDir dir;
  writeFile(dir.file("ref.msf"), kReferenceMsf);
  writeFile(dir.file("out"), kTestFasta);
  writeFile(dir.file("clustal"), "CLUSTAL W\n\na  AC-D extra\n");
  writeFile(dir.file("single"), ">a\nACD\n");
  struct Case {
    std::vector<std::string> argv;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"-test", "absent", "-ref", "ref.msf"}, "cannot open 'absent'"},
      {{"-test", "clustal", "-ref", "ref.msf"}, "clustal': line 3: expected a name"},
      {{"-test", "out", "-ref", "ref.msf", "-seqdiffwarn", "-truncname"},
       "'e' is missing from the test"},
      {{"-test", "out", "-ref", "ref.msf", "-ignoremissingseqs", "-truncname"},
       "residues of sequence 'c' differ"},
      {{"-test", "out", "-ref", "ref.msf", "-seqdiffwarn"},
       "'a' is missing from the test"},  // untruncated
      {{"-test", "single", "-ref", "single", "-quiet"}, "undefined"},
      {{"-test", "out", "-ref", "ref.msf", "-fast"},
       "unknown option '-fast'; usage: alnscore -test"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {kScorer};
    argv.insert(argv.end(), c.argv.begin(), c.argv.end());
    RunResult r = runProgram(argv, dir.path());
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, "") << c.message;
    EXPECT_EQ(r.err.rfind("alnscore: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// Q against aln_compare's sum-of-pairs score on mafft's alignments of
// BAliBASE cases that Debian's packages ship. Their references are all
// upper case, where both measures count the same pairs.
TEST(AlnscoreProgram, AgreesWithAlnCompareOnBalibase) {
  const std::vector<std::string> cases = {"/usr/share/doc/kalign/examples/BB11001",
                                          "/usr/share/dialign-tx/BB11002"};
  if (!testing_support::fileExists("/usr/bin/mafft") ||
      !testing_support::fileExists("/usr/bin/t_coffee")) {
    GTEST_SKIP() << "mafft or t_coffee is not installed";
  }
  TempDir dir;
  // t_coffee stops at once without a writable home folder.
  if (std::getenv("HOME") == nullptr) setenv("HOME", dir.path().c_str(), 1);
  int compared = 0;
  for (const std::string& bb : cases) {
    if (!testing_support::fileExists(bb + ".msf")) continue;
    RunResult aligned =
        runProgram({"/usr/bin/mafft", "--anysymbol", "--quiet", bb + ".tfa"}, dir.path());
    ASSERT_EQ(aligned.status, 0) << aligned.err;
    writeFile(dir.file("test.fa"), aligned.out);

    RunResult ours = score(dir, "test.fa", bb + ".msf", kRunnerFlags);
    ASSERT_EQ(ours.status, 0) << ours.err;
    std::vector<std::string> tokens;
    boost::algorithm::split(tokens, ours.out, boost::algorithm::is_any_of("=;"));
    ASSERT_EQ(tokens.size(), 8u);

    RunResult theirs = runProgram({"/usr/bin/t_coffee", "-other_pg", "aln_compare", "-al1",
                                   bb + ".msf", "-al2", "test.fa", "-compare_mode", "sp"},
                                  dir.path());
    ASSERT_EQ(theirs.status, 0) << theirs.err;
    // The last line reads: name, sequence count, similarity, SP score, ...
    std::vector<std::string> fields;
    std::string last = theirs.out.substr(theirs.out.find_last_of('\n', theirs.out.size() - 2) + 1);
    boost::algorithm::split(fields, last, boost::algorithm::is_space(),
                            boost::algorithm::token_compress_on);
    ASSERT_GE(fields.size(), 4u) << theirs.out;
    EXPECT_NEAR(100 * std::strtod(tokens[5].c_str(), nullptr),
                std::strtod(fields[3].c_str(), nullptr), 0.1)
        << bb << "\n"
        << theirs.out;
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no BAliBASE references installed";
}

}  // namespace
