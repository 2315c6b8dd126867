// The work of one aligner run in a child of the job pool: the core's runner
// (or merger) called in the tools folder, and the text it hands back.
#ifndef RUNS_ALIGNER_JOBS_H
#define RUNS_ALIGNER_JOBS_H

#include <string>

#include "runs/configuration.h"
#include "runs/job_pool.h"

namespace runs {

// What the runner hands back: scoreA (Q), scoreB (TC) and elapsed in
// microseconds, -1 each when it found no result.
struct RunnerResult {
  double scoreA = -1, scoreB = -1, elapsed = -1;
};

// The work of a child: chdir to the tools folder, set nSequencesInput to
// sequences (the runner picks its large-input settings by it), then
// runAligner(input, reference, kind, options, ..., fileIndex). Without a
// reference the caller passes a path that does not exist: the runner's
// scoring then fails by design and the alignment file alone tells success.
JobWork alignerJob(const std::string& toolsFolder, const std::string& input,
                   const std::string& reference, const Configuration& configuration, int fileIndex,
                   int sequences);
// The same for mergeAlignments (run files 1, 2, 3 into 4), with t_coffee's
// extra options (runs/nucleotide_modes.h's mergeTypeOption).
JobWork mergeJob(const std::string& toolsFolder, const std::string& input,
                 const std::string& reference, const std::string& options = "");

// Parses a child's result text; false when it is not three numbers.
bool parseRunnerResult(const std::string& text, RunnerResult* out);

}  // namespace runs

#endif
