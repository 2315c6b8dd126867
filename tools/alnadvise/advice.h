// The outcome of one advice: what the reports and the output files are made
// of. Filled by runAdvisor; the table, TSV and JSON writers only read it.
#ifndef ALNADVISE_ADVICE_H
#define ALNADVISE_ADVICE_H

#include <string>
#include <vector>

#include "candidates.h"
#include "data_set.h"

namespace alnadvise {

struct CandidateResult {
  Candidate candidate;            // the merge has kind kMergeKind and options "#a #b #c"
  std::string status;             // "done", "failed (...)", "timed out", "missing", "not run"
  bool valid = false;             // an alignment was produced and passed the checks
  std::vector<std::string> rows;  // per record, original residues and '-'
  bool hasQ = false;              // reference mode: Q and TC known
  double q = 0, tc = 0;
  bool hasAgreement = false;
  double agreement = 0;
  double seconds = 0;            // the run's wall time (the runner's, with a reference)
  bool ran = false;              // a process ran (seconds is meaningful)
  std::string file;              // relative to the output folder; "" when none
  int rank = 0;                  // 1 = best; 0 = not ranked (no alignment)
  std::vector<int> mergeInputs;  // the merge: ids of its three inputs
};

struct Advice {
  DataSet data;
  double features[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::string referencePath;  // "" without --ref
  std::vector<NearestReference> nearest;
  std::vector<FrontPick> front;
  std::string tablePath, frontPath, toolsFolder;
  std::vector<CandidateResult> results;  // ranked order
  int bestIndex = -1;                    // into results; -1 when none valid
  double wallSeconds = 0, runSeconds = 0, overheadSeconds = 0;

  bool referenceMode() const { return !referencePath.empty(); }
};

}  // namespace alnadvise

#endif
