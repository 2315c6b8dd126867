// alntrain: searches aligner configurations on a benchmark folder and
// writes what it learns for the advisor. runTrainer is the whole flow; the
// command line only fills TrainOptions.
//
// Output folder: runs.tsv (every run, see run_cache.h), alignments/ (the
// valid runs' alignments), front.txt, reference-table.txt, search.tsv (every
// configuration evaluated, with its means), front.svg and front.png (with
// front-plot.dat and front-plot.gp), report.txt, alntrain.log (what the
// aligners printed), timings.tsv and cost-model.json (every timed run of the
// benchmark, and the cost model fitted on them and on --timings; written
// with --runs-only too) and, with folds, folds/<k>/ (each fold's table and
// front) and cross-validation.tsv.
#ifndef ALNTRAIN_TRAINER_H
#define ALNTRAIN_TRAINER_H

#include <string>
#include <vector>

namespace alntrain {

struct TrainOptions {
  std::string benchmark;
  std::string outputFolder;  // "": <benchmark folder name>.train in the working folder
  std::string space;         // "": the shipped data/option-space.json
  std::string tools;         // "": as alnadvise finds them
  std::string gnuplot = "gnuplot";
  long seed = 237;
  int generations = 8;
  int population = 16;
  long budget = 0;  // runs per search; 0: no limit
  int jobs = 1;
  std::vector<int> aligners{0, 1, 2, 3, 4};
  double timeoutSeconds = 0;  // 0: none
  bool resume = false;
  bool force = false;
  bool quiet = false;
  int folds = 0;  // 0: no cross-validation
  // Instead of the search, evaluate exactly these (configuration_list.h);
  // with runsOnly, only make their runs into runs.tsv and learn nothing.
  std::string configurations;
  bool runsOnly = false;
  // Print the option space's configurations instead of training (sample:
  // how many, 0 for all); no benchmark is read.
  bool listConfigurations = false;
  long sample = 0;
  // More timed runs (cost_fit.h) for the cost model, beside this training's.
  std::vector<std::string> timings;
};

const int kTrained = 0;
const int kTrainingFailed = 1;  // no run succeeded, or a result could not be written
const int kBadUsage = 2;        // options, benchmark, option space, tools, output folder

// Returns the exit status; 128 + the signal after SIGINT, SIGTERM or SIGHUP
// (runs stopped, runs.tsv keeps every run that ended).
int runTrainer(const TrainOptions& options);

// --list-configurations: the list on standard output; 0, or 2 with one line
// on standard error.
int printConfigurations(const TrainOptions& options);

// "<name>.train" for ".../name" or ".../name/".
std::string defaultTrainingFolder(const std::string& benchmark);

}  // namespace alntrain

#endif
