// The outcome of one advice: what the reports and the output files are made
// of. Filled by the Advisor (advisor.h); the reports only read it.
#ifndef ADVICE_ADVICE_H
#define ADVICE_ADVICE_H

#include <string>
#include <vector>

#include "advice/candidates.h"
#include "advice/choice_model.h"
#include "advice/confidence_calibration.h"
#include "advice/cost_model.h"
#include "advice/gain_model.h"
#include "runs/data_set.h"

namespace advice {

struct CandidateResult {
  Candidate candidate;            // the merge has kind kMergeKind and options "#a #b #c"
  std::string status;             // a run verdict (runs/run_verdict.h)
  bool valid = false;             // an alignment was produced and passed the checks
  std::vector<std::string> rows;  // per record, original residues and '-'
  bool hasQ = false;              // reference mode: Q and TC known
  double q = 0, tc = 0;
  bool hasAgreement = false;
  double agreement = 0;
  bool hasPredicted = false;      // the learnt estimator's predicted Q
  double predicted = 0;
  double seconds = 0;            // the run's wall time (the runner's, with a reference)
  double expectedSeconds = 0;    // the cost model's, on one core
  // Before running (protein data sets): the gain model's predicted Q over
  // MAFFT --auto's, its held-out error, and the expected improvement over
  // --auto that the budget weighed per expected second.
  bool hasGain = false, gainKnown = false;  // known: the model has seen such runs
  double predictedGain = 0, gainError = 0, expectedImprovement = 0;
  bool leftOut = false;          // not run: the budget (status says why)
  bool ran = false;              // a process ran (seconds is meaningful)
  std::string file;              // relative to the output folder; "" when none
  int rank = 0;                  // 1 = best; 0 = not ranked (no alignment)
  std::vector<int> mergeInputs;  // the merge: ids of its three inputs
};

// Which columns and residues of the chosen alignment to trust
// (column_confidence.h).
struct Confidence {
  bool known = false;
  std::string note;                 // why it is not known
  std::vector<std::string> voters;  // "KALIGN (2 alignments)", in aligner order
  std::vector<double> columns;      // per column of the chosen alignment; NaN: no pair
  std::vector<std::vector<double>> residues;  // per row, per residue; NaN: alone
  bool calibrated = false;  // mapped by confidence_calibration.h
};

// What the time budget allowed.
struct BudgetReport {
  double seconds = 0;  // 0: no limit
  bool byDefault = false;
  std::string effort = "default";
  double mafftAutoSeconds = 0;  // MAFFT --auto's expected wall time, --thread jobs
  // The first pick (MAFFT --auto where MAFFT may run): its id, expected and
  // measured seconds, and the factor the hard deadline was stretched by.
  int firstPickId = 0;
  double firstPickExpectedSeconds = 0, firstPickSeconds = 0, slowdown = 1;
  std::string firstPickNote;  // its time far from the expectation: in words
  double deadlineSeconds = 0;  // the hard deadline, from the runs' start; 0: none
  double expectedWallSeconds = 0;  // of the candidates run, on the jobs given
  std::string costModelPath;
  std::string calibrationPath;  // "" when the model has no calibration beside it
  bool merge = false;    // the merge was planned
  std::string mergeWhy;  // why not, when it was wanted
};

struct Advice {
  runs::DataSet data;
  double features[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::string referencePath;  // "" without --ref
  std::vector<NearestReference> nearest;
  std::vector<FrontPick> front;        // the front's picks that became candidates
  std::vector<FrontPick> frontPoints;  // the whole front, for the report's plot
  std::vector<std::string> warnings;   // of the table and the front
  std::string tablePath, frontPath, toolsFolder;
  // Without a reference: the estimator that ranks, and the model file read
  // (the learnt estimator's; "" when it is not used).
  Estimator estimator = Estimator::kAgreement;
  std::string modelPath;
  ChoiceModel model;
  CostModel costModel;
  std::string gainModelPath;  // "" for nucleotide data sets
  GainModel gainModel;
  std::string confidenceCalibrationPath;  // "" for nucleotide data sets
  ConfidenceCalibration confidenceCalibration;
  BudgetReport budget;
  std::vector<CandidateResult> results;  // ranked order
  // The choice: the ids of runs stopped at the hard deadline or never
  // started (made without them), whether MAFFT --auto's alignment was kept
  // for want of a clear winner, and why, in words.
  std::vector<int> choiceWithout;
  bool keptMafftAuto = false;
  double switchMargin = 0;
  std::string choiceNote;
  int bestIndex = -1;                    // into results; -1 when none valid
  Confidence confidence;                 // of the best alignment
  double wallSeconds = 0, runSeconds = 0, overheadSeconds = 0;

  bool referenceMode() const { return !referencePath.empty(); }
};

}  // namespace advice

#endif
