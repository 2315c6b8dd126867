#include "command_line.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>

#include "alignment_outputs.h"
#include "runs/command_line_parts.h"
#include "runs/job_pool.h"

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif

namespace alnadvise {

namespace {

// What the command line gives as text or flags before it becomes options.
struct RawOptions {
  std::string aligners = runs::kAllAligners;
  std::string format = "table";
  std::string alignmentFormats = "fasta";
  bool merge = false, noMerge = false, noHtml = false;
  CLI::Option* alignersOption = nullptr;
};

// --budget: seconds, 0 or more.
CLI::Validator secondsValidator() {
  return CLI::Validator(
      [](std::string& text) {
        char* end = nullptr;
        const double v = std::strtod(text.c_str(), &end);
        return !text.empty() && *end == '\0' && v >= 0 && v < 1e12
                   ? std::string()
                   : "'" + text + "' is not a number of seconds, 0 or more";
      },
      "SECONDS");
}

// The options are added in the order --help lists them. First the data set,
// its reference, the output folder, and the tables and models the advice uses.
void addInputOptions(CLI::App& app, AdviseOptions* options) {
  app.add_option("DATA_SET", options->dataSet, "Protein, DNA or RNA sequences (FASTA)");
  app.add_option("-r,--ref", options->reference,
                 "Reference alignment (aligned FASTA, MSF, Clustal or Stockholm): score by Q "
                 "and TC");
  app.add_option("-o,--out", options->outputFolder,
                 "Output folder (default: <data set base name>.advise)");
  app.add_option("-t,--table", options->table, "Reference table (default: the shipped one)");
  app.add_option("-f,--front", options->front, "Front file (default: the shipped one)");
  app.add_option("--estimator", options->estimator,
                 "Without --ref, rank by: learned (the learnt model's predicted Q), agreement, "
                 "or consensus (each alignment's Q against the other aligners' alignments) "
                 "(default: the one the model's cross-validation chose)")
      ->check(CLI::IsMember({"learned", "agreement", "consensus"}));
  app.add_option("--alphabet", options->alphabet,
                 "auto (from the letters), protein, dna or rna; dna and rna run the aligners' "
                 "nucleotide modes (default: auto)")
      ->check(CLI::IsMember({"auto", "protein", "dna", "rna"}));
  app.add_option("--choice-model", options->choiceModel,
                 "The learnt estimator's model (default: the shipped one)");
  app.add_option("--confidence-calibration", options->confidenceCalibration,
                 "The column confidence's calibration (default: the shipped "
                 "confidence-calibration.json); not read for DNA or RNA");
  app.add_option("--gain-model", options->gainModel,
                 "The model of each candidate's gain over MAFFT --auto that the budget weighs "
                 "(default: the shipped one)");
}

// Which runs are made, how many at once, and how long they may take.
void addRunOptions(CLI::App& app, AdviseOptions* options, RawOptions* raw) {
  app.add_option("-j,--jobs", options->jobs, "Runs at once (default: the number of cores)")
      ->check(CLI::Range(1, 1024));
  raw->alignersOption = app.add_option(
      "--aligners", raw->aligners,
      "Aligners to consider, comma-separated (default: the five, and CLUSTALO from 500 "
      "sequences on)");
  app.add_option("--timeout", options->timeoutSeconds,
                 "Seconds per run; a run past it is killed (default: none)")
      ->check(CLI::PositiveNumber);
  app.add_option("--budget", options->budgetSeconds,
                 "Wall seconds the runs may take on --jobs cores; candidates are chosen by "
                 "expected accuracy per second to fit (default: set by --effort from MAFFT "
                 "--auto --thread JOBS's expected time; 0: no limit)")
      ->check(secondsValidator());
  app.add_option("--effort", options->effort,
                 "The default budget: fast (about MAFFT --auto's time: 1.25 times its expected "
                 "time), default (2 times) or thorough (5 times)")
      ->check(CLI::IsMember({"fast", "default", "thorough"}));
  app.add_option("--cost-model", options->costModel,
                 "The expected run times' model (default: the shipped one)");
}

// What is written, and where the aligners are.
void addOutputOptions(CLI::App& app, AdviseOptions* options, RawOptions* raw) {
  app.add_flag("--merge", raw->merge,
               "Also merge the three best alignments with t_coffee (up to 80 sequences)");
  app.add_flag("--no-merge", raw->noMerge, "No merge (the default; kept for old scripts)");
  app.add_flag("--no-html", raw->noHtml, "Do not write the report page report.html");
  app.add_flag("--keep", options->keep, "Keep the run folder under /tmp");
  app.add_flag("--force", options->force, "Replace the results in a non-empty output folder");
  app.add_option("--tools", options->tools,
                 "Folder holding the aligners' bin/ and lib/ (default: $GETCHAR_TOOLS_DIR or "
                 "the one laid out beside the program)");
  app.add_option("--format", raw->format, "Standard output: table, tsv or json")
      ->check(CLI::IsMember({"table", "tsv", "json"}));
  app.add_option("--output-format", raw->alignmentFormats,
                 "The best alignment's formats, comma-separated: fasta (always written), "
                 "clustal (best.aln), stockholm (best.sto), phylip (best.phy), msf (best.msf)");
  app.add_option("--mask", options->mask,
                 "Also write best.masked.fasta: residues of column confidence below THRESHOLD "
                 "in lower case")
      ->type_name("THRESHOLD")
      ->check(CLI::Range(0.0, 1.0));
  app.add_option("--trim", options->trim,
                 "Also write best.trimmed.fasta without the columns of confidence below "
                 "THRESHOLD, and best.trimmed.columns.tsv, their numbers in best.fasta")
      ->type_name("THRESHOLD")
      ->check(CLI::Range(0.0, 1.0));
  app.add_flag("-q,--quiet", options->quiet, "No progress on standard error");
  app.add_flag("--calibrate", options->calibrate,
               "Instead of advising: time MAFFT --auto on three reference families and store "
               "this machine's speed factor beside the cost model (cost-calibration.json)");
}

// Checks what the options say together and fills the rest of *options;
// false after one line on standard error.
bool finishOptions(const RawOptions& raw, AdviseOptions* options) {
  if (options->calibrate != options->dataSet.empty()) {
    std::cerr << "alnadvise: "
              << (options->calibrate ? "--calibrate takes no data set"
                                     : "DATA_SET is required (or --calibrate)")
              << std::endl;
    return false;
  }
  if (!runs::parseAlignersOption("alnadvise", raw.aligners, &options->aligners)) return false;
  std::string error;
  if (!parseOutputFormats(raw.alignmentFormats, &options->alignmentFormats, &error)) {
    std::cerr << "alnadvise: --output-format: " << error << std::endl;
    return false;
  }
  options->alignersGiven = raw.alignersOption->count() > 0;
  if (raw.merge && raw.noMerge) {
    std::cerr << "alnadvise: --merge and --no-merge contradict each other" << std::endl;
    return false;
  }
  options->merge = raw.merge;
  options->html = !raw.noHtml;
  options->format = raw.format == "json"  ? OutputFormat::kJson
                    : raw.format == "tsv" ? OutputFormat::kTsv
                                          : OutputFormat::kTable;
  return true;
}

}  // namespace

int parseCommandLine(int argc, char** argv, AdviseOptions* options) {
  *options = AdviseOptions();
  options->jobs = runs::onlineCores();
  CLI::App app{
      "Aligns a protein, DNA or RNA FASTA data set with the candidate configurations of\n"
      "five aligners, "
      "scores them (against --ref, or by their agreement) and keeps the best.",
      "alnadvise"};
  app.set_help_flag("-h,--help", "Print this help and exit");
  bool version = false;
  RawOptions raw;
  addInputOptions(app, options);
  addRunOptions(app, options, &raw);
  addOutputOptions(app, options, &raw);
  app.add_flag("--version", version, "Print the version and exit");
  const int parsed =
      runs::parseToolCommandLine(app, argc, argv, "alnadvise", GETCHAR_VERSION, version, kBadInput);
  if (parsed >= 0) return parsed;
  return finishOptions(raw, options) ? -1 : kBadInput;
}

int alnadviseMain(int argc, char** argv) {
  AdviseOptions options;
  const int status = parseCommandLine(argc, argv, &options);
  if (status >= 0) return status;
  return options.calibrate ? runCalibration(options) : runAdvisor(options);
}

}  // namespace alnadvise
