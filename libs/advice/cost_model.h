// The expected wall time of one run from the size of its data set.
//
// Configurations fall into cost families (costFamily): an aligner kind and
// the strategy that sets its growth, e.g. MAFFT's consistency strategies
// apart from its progressive ones. Per family the model is
//
//   seconds = start + a * N^b * L^c     (N sequences, L their mean length)
//
// where start is the family's quickest run (a process's start, a little
// under it), the rest fitted in log space by least squares over timed runs
// well above the start, b and c drawn
// slightly towards 2 and 1.5 so that a family timed on few sizes does not
// extrapolate wildly, and never below floorSeconds (a process's start).
// MAFFT --auto has a family per strategy it picks ("mafft-auto-linsi", ...,
// mafft_auto.h), timed apart; a model without one takes the strategy's. A
// family timed three times or more on kLargeFitSequences or more, on two
// sizes at least, has a second fit of its own for those sizes: one power
// law from 4 to 100,000 sequences is bent by the many small runs.
//
// The model file (data/cost-model.json, written by alntrain) holds per
// family a, b, c, the runs and the range of N it was fitted on, the mean Q
// of those runs (paired with MAFFT's default's) and the held-out error: the median and 90th percentile of
// predicted over measured seconds (as a factor >= 1) when each data set's
// runs are left out of the fit in turn.
#ifndef ADVICE_COST_MODEL_H
#define ADVICE_COST_MODEL_H

#include <string>
#include <vector>

#include "runs/configuration.h"

namespace advice {

extern const char kMergeFamily[];  // the t_coffee merge of three alignments

// "mafft-consistency", "muscle-fast", "clustalo", ... (kMergeFamily for the
// merge kind). For MAFFT --auto: its own family of the strategy it picks at
// this size (it looks at the longest sequence; longest 0: the mean length).
std::string costFamily(const runs::Configuration& configuration, int sequences,
                       double meanLength, double longest = 0);

// Families whose memory grows with the square of the sequences (a full
// distance matrix, or pairwise libraries): every family but Kalign, Clustal
// Omega and MAFFT's PartTree and memory-saving strategies.
bool quadraticMemory(const std::string& family);

// The family whose Q the others are compared with (pairedQ below).
extern const char kReferenceFamily[];

const int kLargeFitSequences = 500;

struct CostFamily {
  std::string name;
  double startSeconds = 0, logA = 0, b = 2, c = 1.5;
  bool hasLarge = false;  // the large segment's fit, from kLargeFitSequences on
  double largeLogA = 0, largeB = 2, largeC = 1.5;
  int runs = 0, dataSets = 0;
  int minSequences = 0, maxSequences = 0;
  // Mean Q of the runs, as compared with kReferenceFamily's on the data sets
  // both ran on: theirs plus the mean difference (the plain mean when none
  // is shared); 0 without any Q.
  double meanQ = 0;
  double medianError = 1, p90Error = 1;  // held out, as factors >= 1
};

struct CostModel {
  std::vector<CostFamily> families;
  double floorSeconds = 0.05;
  // This machine against the one the model was timed on (calibration.h):
  // every expectation is multiplied by it. Not part of the model file.
  double speedFactor = 1;

  // The family's fit; "mafft-memsave" without one of its own gets
  // "mafft-progressive"'s. Null when there is none.
  const CostFamily* find(const std::string& family) const;
};

// One timed run for the fit.
struct TimedRun {
  std::string family, dataSet;
  int sequences = 0;
  double meanLength = 0, seconds = 0;
  bool hasQ = false;
  double q = 0;
};

CostModel fitCostModel(const std::vector<TimedRun>& runs);

// The expected seconds of one run on one core; a family the model does not
// hold gets the slowest family's fit (so it is never taken for cheap).
double expectedSeconds(const CostModel& model, const runs::Configuration& configuration,
                       int sequences, double meanLength, double longest = 0);
double expectedSeconds(const CostModel& model, const std::string& family, int sequences,
                       double meanLength);

// Reads a model file: every family named once, every number finite, b and c
// in [0, 4]. False with the file and the fault in *error.
bool readCostModel(const std::string& path, CostModel* model, std::string* error);
bool parseCostModel(const std::string& text, CostModel* model, std::string* error);
std::string formatCostModel(const CostModel& model);

}  // namespace advice

#endif
