#include "command_line.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "runs/command_line_parts.h"
#include "runs/job_pool.h"

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif

namespace alntrain {

namespace {

// The options are added in the order --help lists them.
void addSearchOptions(CLI::App& app, TrainOptions* options) {
  app.add_option("--seed", options->seed, "Seed of the search (default 237)")
      ->check(CLI::Range(0L, 2147483647L));
  app.add_option("--generations", options->generations,
                 "Generations after the first population (default 8)")
      ->check(CLI::Range(0, 100000));
  app.add_option("--population", options->population, "Population size (default 16)")
      ->check(CLI::Range(1, 100000));
  app.add_option("--budget", options->budget,
                 "Runs per search, counting each (data set, configuration) once; the search "
                 "stops before passing it (default: no limit)")
      ->check(CLI::Range(1L, 1000000000L));
}

// How the runs are made, what they are made of and on which sets.
void addRunOptions(CLI::App& app, TrainOptions* options, std::string* aligners) {
  app.add_option("-j,--jobs", options->jobs, "Runs at once (default: the number of cores)")
      ->check(CLI::Range(1, 1024));
  app.add_option("--aligners", *aligners, "Aligners to search, comma-separated (default: all)");
  app.add_option("--timeout", options->timeoutSeconds,
                 "Seconds per run; a run past it is killed and counts as failed (default: none)")
      ->check(CLI::PositiveNumber);
  app.add_flag("--resume", options->resume,
               "Reuse every run already in the output folder's runs.tsv");
  app.add_option("--folds", options->folds,
                 "Cross-validate with K folds (K = number of data sets: leave one out)")
      ->check(CLI::Range(2, 100000));
  app.add_flag("--force", options->force,
               "Start over although runs.tsv holds earlier runs (kept as runs.tsv.old)");
  app.add_option("--space", options->space, "Option space (default: the shipped one)");
  app.add_option("--tools", options->tools,
                 "Folder holding the aligners' bin/ and lib/ (default: $GETCHAR_TOOLS_DIR or "
                 "the one laid out beside the program)");
}

// Given lists of configurations instead of a search, and timed runs.
void addListOptions(CLI::App& app, TrainOptions* options) {
  app.add_option("--configurations", options->configurations,
                 "Evaluate these configurations (ALIGNER<TAB>options or front lines) instead "
                 "of searching");
  app.add_option("--timings", options->timings,
                 "More timed runs (timings.tsv of another training) for the cost model; "
                 "repeat it for more files")
      ->allow_extra_args(false)
      ->check(CLI::ExistingFile);
  app.add_flag("--runs-only", options->runsOnly,
               "With --configurations: only make the runs into runs.tsv, learn nothing");
  app.add_flag("--list-configurations", options->listConfigurations,
               "Print the option space's configurations (ALIGNER<TAB>options) and exit");
  app.add_option("--sample", options->sample,
                 "With --list-configurations: the aligners' defaults and random others, N in "
                 "all (drawn from --seed)")
      ->check(CLI::Range(1L, 1000000000L));
}

// The options that need or exclude one another; false after one line on
// standard error.
bool optionsAgree(const TrainOptions& options) {
  if (options.listConfigurations != options.benchmark.empty()) {
    std::cerr << "alntrain: "
              << (options.listConfigurations ? "--list-configurations takes no BENCHMARK_DIR"
                                             : "BENCHMARK_DIR is required")
              << " (see alntrain --help)" << std::endl;
    return false;
  }
  if ((options.runsOnly && options.configurations.empty()) ||
      (options.sample > 0 && !options.listConfigurations)) {
    std::cerr << "alntrain: " << (options.runsOnly ? "--runs-only" : "--sample") << " needs "
              << (options.runsOnly ? "--configurations" : "--list-configurations") << std::endl;
    return false;
  }
  if (options.resume && options.force) {
    std::cerr << "alntrain: --resume and --force exclude each other" << std::endl;
    return false;
  }
  return true;
}

}  // namespace

int parseCommandLine(int argc, char** argv, TrainOptions* options) {
  *options = TrainOptions();
  options->jobs = runs::onlineCores();
  CLI::App app{
      "Searches aligner configurations on a benchmark folder of protein data sets with\n"
      "reference alignments (NAME.fasta with NAME.ref.fasta or NAME.msf), and writes the\n"
      "front and the reference table the advisor uses.",
      "alntrain"};
  app.set_help_flag("-h,--help", "Print this help and exit");
  bool version = false;
  std::string aligners = runs::kAllAligners;
  app.add_option("BENCHMARK_DIR", options->benchmark, "Folder of data sets and references");
  app.add_option("-o,--out", options->outputFolder,
                 "Output folder (default: <benchmark folder name>.train)");
  addSearchOptions(app, options);
  addRunOptions(app, options, &aligners);
  addListOptions(app, options);
  app.add_flag("-q,--quiet", options->quiet, "No progress on standard error");
  app.add_flag("--version", version, "Print the version and exit");
  const int parsed =
      runs::parseToolCommandLine(app, argc, argv, "alntrain", GETCHAR_VERSION, version, kBadUsage);
  if (parsed >= 0) return parsed;
  if (!runs::parseAlignersOption("alntrain", aligners, &options->aligners)) return kBadUsage;
  return optionsAgree(*options) ? -1 : kBadUsage;
}

int alntrainMain(int argc, char** argv) {
  TrainOptions options;
  const int status = parseCommandLine(argc, argv, &options);
  if (status >= 0) return status;
  return options.listConfigurations ? printConfigurations(options) : runTrainer(options);
}

}  // namespace alntrain
