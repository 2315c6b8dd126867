// One candidate run: a child process calling the library's runner (or
// merger) in the tools folder, and the check of the alignment it leaves.
#ifndef ALNADVISE_CANDIDATE_RUNS_H
#define ALNADVISE_CANDIDATE_RUNS_H

#include <string>
#include <vector>

#include "configuration.h"
#include "data_set.h"
#include "job_pool.h"

namespace alnadvise {

// What the runner hands back: scoreA (Q), scoreB (TC) and elapsed in
// microseconds, -1 each when it found no result.
struct RunnerResult {
  double scoreA = -1, scoreB = -1, elapsed = -1;
};

// The work of a child: chdir to the tools folder, then runAligner(input,
// reference, kind, options, ..., fileIndex). Without a reference the caller
// passes a path that does not exist: the runner's scoring then fails by
// design and the alignment file alone tells success.
JobWork alignerJob(const std::string& toolsFolder, const std::string& input,
                   const std::string& reference, const Configuration& configuration, int fileIndex);
// The same for mergeAlignments (run files 1, 2, 3 into 4).
JobWork mergeJob(const std::string& toolsFolder, const std::string& input,
                 const std::string& reference);

// Parses a child's result text; false when it is not three numbers.
bool parseRunnerResult(const std::string& text, RunnerResult* out);

// Checks the alignment an aligner left at path against the data set: the
// names s1..sN, each once; each row's residues (gaps removed) those of the
// record, case ignored, except where the record holds a letter outside the
// 20 standard amino acids (aligners rewrite B, J, O, U, X, Z); rows of one
// length. On success *rows holds, per record, the row with the original
// residues put back and gaps as '-'. Fails with the reason in *why.
bool validateAlignment(const std::string& path, const DataSet& data, std::vector<std::string>* rows,
                       std::string* why);

// A rough relative cost of a run, to start the long ones first.
double expectedCost(const Configuration& configuration, const DataSet& data);

}  // namespace alnadvise

#endif
