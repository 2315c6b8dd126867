#include "command_line.h"

namespace alnscore {

using scoring::Alignment;
using scoring::readAlignmentFile;
using scoring::Score;
using scoring::scoreAlignments;

namespace {

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif

const char kUsage[] =
    "usage: alnscore -test <alignment> -ref <reference> [-seqdiffwarn] [-ignoremissingseqs]"
    " [-ignoretestcase] [-truncname] [-quiet]";

// In the form help2man reads: the man page is made from it.
const char kHelp[] =
    "Usage: alnscore -test <alignment> -ref <reference> [options]\n"
    "Scores a test alignment against a reference alignment of the same sequences and\n"
    "prints \"Test=<test>;Ref=<reference>;Q=<q>;TC=<tc>\" on one line: Q is the share of\n"
    "the reference's aligned residue pairs the test aligns, TC the share of its\n"
    "columns the test reproduces whole.\n"
    "\n"
    "Options:\n"
    "  -test <file>        the alignment scored (FASTA, MSF, Clustal or Stockholm)\n"
    "  -ref <file>         the reference alignment\n"
    "  -seqdiffwarn        warn, instead of failing, when residues differ between the\n"
    "                      test and the reference (they are paired by position)\n"
    "  -ignoremissingseqs  score the sequences the test holds, ignoring the others\n"
    "  -ignoretestcase     count lower-case test residues as aligned\n"
    "  -truncname          match sequence names up to their first blank\n"
    "  -quiet              no summary on standard error\n"
    "  --help              print this help and exit\n"
    "  --version           print the version and exit\n"
    "\n"
    "Exit status: 0 when the scores were printed, 1 after an error.\n";

std::string formatNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3g", value);
  return buffer;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error) {
  *out = CommandLine();
  bool haveTest = false, haveReference = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-test" || arg == "-ref") {
      bool& have = arg == "-test" ? haveTest : haveReference;
      if (have) {
        *error = "option " + arg + " given twice";
        return false;
      }
      if (i + 1 == args.size()) {
        *error = "option " + arg + " needs a file name";
        return false;
      }
      (arg == "-test" ? out->testPath : out->referencePath) = args[++i];
      have = true;
    } else if (arg == "-seqdiffwarn") {
      out->options.match.warnOnResidueDifferences = true;
    } else if (arg == "-ignoremissingseqs") {
      out->options.match.ignoreMissingSequences = true;
    } else if (arg == "-ignoretestcase") {
      out->options.ignoreTestCase = true;
    } else if (arg == "-truncname") {
      out->options.match.truncateNames = true;
    } else if (arg == "-quiet") {
      out->quiet = true;
    } else {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (!haveTest || !haveReference) {
    *error = haveTest ? "missing -ref <reference>" : "missing -test <alignment>";
    return false;
  }
  return true;
}

std::string formatReport(const std::string& testPath, const std::string& referencePath, double q,
                         double tc) {
  return "Test=" + testPath + ";Ref=" + referencePath + ";Q=" + formatNumber(q) +
         ";TC=" + formatNumber(tc) + "\n";
}

int runAlnscore(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    std::fputs(args[0] == "--help" ? kHelp : "alnscore " GETCHAR_VERSION "\n", out);
    return std::fflush(out) == 0 ? 0 : 1;
  }
  CommandLine command;
  std::string error;
  if (!parseCommandLine(args, &command, &error)) {
    std::fprintf(err, "alnscore: %s; %s\n", error.c_str(), kUsage);
    return 1;
  }

  Alignment test, reference;
  Score score;
  if (!readAlignmentFile(command.testPath, &test, &error) ||
      !readAlignmentFile(command.referencePath, &reference, &error) ||
      !scoreAlignments(test, reference, command.options, &score, &error)) {
    std::fprintf(err, "alnscore: %s\n", error.c_str());
    return 1;
  }

  if (score.match.differingSequences > 0) {
    std::fprintf(err,
                 "alnscore: warning: residues differ between test and reference in %zu sequence(s);"
                 " their residues were paired by position\n",
                 score.match.differingSequences);
  }
  if (!command.quiet) {
    std::fprintf(
        err,
        "alnscore: %zu sequence(s) scored, %zu missing from the test; %llu of %llu residue pairs"
        " and %llu of %llu columns kept\n",
        score.scoredSequences, score.match.missingSequences,
        static_cast<unsigned long long>(score.counts.alignedPairs),
        static_cast<unsigned long long>(score.counts.referencePairs),
        static_cast<unsigned long long>(score.counts.correctColumns),
        static_cast<unsigned long long>(score.counts.scoredColumns));
  }
  const std::string report =
      formatReport(command.testPath, command.referencePath, score.q, score.tc);
  std::fputs(report.c_str(), out);
  if (std::fflush(out) != 0) {
    std::fprintf(err, "alnscore: cannot write the report\n");
    return 1;
  }
  return 0;
}

}  // namespace alnscore
