// One advice from a protein FASTA file to its ranked candidate alignments,
// without a command line or an output folder: alnadvise (and any other
// caller) sets AdviceSettings, checks the inputs, runs, and writes what it
// likes of the Advice.
//
// run() copies the data set (and the reference) under safe names into a
// fresh run folder, computes its features, proposes the candidates
// (core_tables.h) with MAFFT --auto first (candidates.h), keeps those that
// fit the time budget (budget.h: the expected times of cost_model.h, and
// each one's expected improvement over --auto from gain_model.h),
// runs them through the job pool (the first pick first, protected from the
// deadline, then shortest expected first; a missing program is reported and
// the rest go on; runs still going at the hard deadline are stopped and the
// choice is marked as made without them), merges the three best with
// t_coffee when asked and the data set has at most kMergeMaxSequences
// records, scores each alignment (Q and TC against the reference, else
// agreement and, with the learnt estimator, its predicted Q) and ranks them
// (ranking.h); without a reference --auto's alignment stays first unless
// another beats it by more than the estimator's error.
//
// What runs depends on the data set, the settings and the cost model only,
// never on the clock: the same data set gives the same choice on a quiet
// machine and on a busy one, unless a run reaches the hard deadline. A DNA or RNA data set
// (--alphabet, or detected) is proposed nucleotide_candidates.h's candidates
// instead, ranked without the learnt estimator. The run folder
// is removed when the Advisor goes, unless keep.
#ifndef ADVICE_ADVISOR_H
#define ADVICE_ADVISOR_H

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "advice/agreement_scores.h"
#include "advice/ranking.h"
#include "runs/job_pool.h"
#include "runs/reference.h"
#include "runs/run_folder.h"

namespace advice {

// The merge's t_coffee is told -maxnseq=80; above that it is not run.
const int kMergeMaxSequences = 80;
// The budget by effort: this many times MAFFT --auto's expected time on
// `jobs` threads, and at least a floor. fast: --auto's own time (on a small
// data set nothing else fits beside it: fast is --auto with the report);
// default: about twice; thorough: room for the slow consistency methods
// (its floor of a few process starts lets them run on small data sets).
struct Effort {
  const char* name;
  double budgetFactor;
  double minimumSeconds;
};
const Effort kEfforts[] = {{"fast", 1.25, 0}, {"default", 2, 0}, {"thorough", 5, 2}};
// False with *error when name is none of kEfforts'.
bool findEffort(const std::string& name, Effort* effort, std::string* error);
// MAFFT --auto's expected wall time on `jobs` cores (threads counted up to
// four, kMafftThreadGain each beyond the first), and the effort's budget:
// budgetFactor times it, at least minimumSeconds.
double mafftAutoWallSeconds(const CostModel& model, int sequences, double meanLength,
                            double longest, int jobs);
double effortBudget(const Effort& effort, double mafftAutoSeconds);
// MAFFT --auto --thread J against one thread: measured 1.4 times as fast on
// two cores (L-INS-i on 44 sequences, FFT-NS-2 on 1,000); counted up to 4.
const double kMafftThreadGain = 0.4;
// The hard deadline: runs still going at this many times the budget, and at
// least this many seconds past it, are stopped; the longest run chosen gets
// twice its expected time. All of it is stretched by how much slower than
// expected the first pick ran (the machine's load today), so that a busy
// machine makes the same choice as a quiet one, only later.
const double kBudgetSlack = 2;
const double kBudgetSlackSeconds = 10;
// The first pick's time against its expectation that the report calls far
// off (either way).
const double kFarFromExpected = 2;
// Without a reference, MAFFT --auto's alignment is kept unless another
// candidate's score beats it by more than the switch margin: the learnt
// model's, chosen by its cross-validation (choice_model.h), else this.
const double kDefaultSwitchMargin = 0.01;
// The consensus estimate (--estimator consensus, agreement_scores.h) keeps
// --auto's alignment unless beaten by more than this: the smallest margin
// at which, among --auto, Clustal Omega, Kalign and MUSCLE 5 on 33 small
// real and simulated data sets, it never fell more than 0.02 below --auto.
const double kConsensusSwitchMargin = 0.02;
// From kLargeInputSequences records on, beyond the sizes the learnt model
// was fitted on (at most about 160), its margin is at least this: on eight
// simulated families of 1,000 to 10,000 sequences it switched away from
// --auto five times on predicted gains of 0.005 to 0.033 and lost 0.012 to
// 0.107 each time.
const double kLargeInputSwitchMargin = 0.05;

struct AdviceSettings {
  std::string dataSet;
  std::string reference;  // "": agreement mode
  std::string table;      // "": the shipped reference table
  std::string front;      // "": the shipped front
  std::string tools;      // "": see runs::findToolsFolder
  int jobs = 1;
  std::vector<int> aligners{0, 1, 2, 3, 4};
  // False: aligners is the default, and Clustal Omega joins it for data
  // sets of kLargeInputSequences records and more.
  bool alignersGiven = false;
  double timeoutSeconds = 0;  // 0: none
  bool merge = false;         // the merge of the three best: asked for, not by default
  bool keep = false;          // keep the run folder
  // Without a reference: the estimator that ranks ("": the one the model
  // file names as its default) and the model file ("": the shipped one).
  std::string estimator;
  std::string choiceModel;
  // The wall time the runs may take on `jobs` cores: below 0 the default
  // (see kDefaultBudgetFactor), 0 no limit.
  double budgetSeconds = -1;
  std::string effort = "default";  // kEfforts' name; sets the default budget
  std::string costModel;           // "": the shipped one
  std::string gainModel;           // "": the shipped one (protein data sets only)
  // The column confidence's calibration ("": the shipped one; protein data
  // sets only: nucleotide ones keep the raw confidence).
  std::string confidenceCalibration;
  // "auto", "protein", "dna" or "rna" (runs::chooseAlphabet). A nucleotide
  // data set takes nucleotide_candidates.h's candidates and agreement.
  std::string alphabet = "auto";
};

// Hears of the runs as they go.
class AdviceObserver {
 public:
  virtual ~AdviceObserver() = default;
  // Before the first run: how many candidates, with a merge or not.
  virtual void planned(const Advice&, size_t /*candidates*/, bool /*merge*/, int /*jobs*/) {}
  // After planned: each candidate the budget left out (status says why).
  virtual void leftOut(const CandidateResult&) {}
  // A candidate (or the merge) that ended, or that could not start.
  virtual void finished(const CandidateResult&, size_t /*done*/, size_t /*planned*/) {}
  // No merge: why ("fewer than three candidates produced an alignment", ...).
  virtual void noMerge(const std::string& /*why*/) {}
};

enum class AdviceOutcome { kDone, kFailed, kInterrupted };

class Advisor {
 public:
  explicit Advisor(const AdviceSettings& settings);
  ~Advisor();

  // Reads and checks the data set, the reference, the tools folder, the
  // table and the front. False with one line in *error; nothing written.
  bool checkInputs(std::string* error);

  // The whole advice; the aligners' output goes to logFd. kFailed with
  // *error when the run folder or its copies cannot be made; kInterrupted
  // after a signal caught by runs::SignalGuard (every run stopped, the run
  // folder removed). Otherwise advice().results is ranked.
  AdviceOutcome run(int logFd, AdviceObserver& observer, std::string* error);

  Advice& advice() { return advice_; }
  // Wall seconds spent waiting in the job pool (the runs).
  double poolSeconds() const { return poolSeconds_; }
  const std::string& runFolderPath() const { return runFolder_.path(); }

 private:
  bool chooseEstimator(std::string* error);
  bool prepare(std::string* error);
  void proposeNucleotide(int sequences, const std::vector<int>& aligners);
  void planRuns();
  double candidateValue(CandidateResult* r, const std::string& family) const;
  static std::string predictionText(const CandidateResult& r);
  bool runCandidates(int logFd, AdviceObserver& observer);
  // The chosen candidates whose aligner is there, in the order they start;
  // tells the observer the plan (and the ones already decided).
  std::vector<size_t> queueCandidates(AdviceObserver& observer);
  std::vector<runs::JobWork> candidateJobs(const std::vector<size_t>& queue);
  bool runMerge(int logFd, AdviceObserver& observer);
  bool stageMerge(const std::vector<size_t>& inputs, CandidateResult* merge);
  void scoreWithoutReference();
  double hardDeadline() const;
  void judgeFirstPick(const CandidateResult& r);
  void noteWhatWasStopped();
  void keepMafftAutoUnlessBeaten(std::vector<size_t>* order);
  RankBy rankBy() const;
  void rank();
  void record(CandidateResult& r, const runs::JobOutcome& outcome, int fileIndex);
  void scoreInFull(CandidateResult& r) const;
  void finished(AdviceObserver& observer, const CandidateResult& r);
  std::string referenceCopy() const;

  AdviceSettings settings_;
  Advice advice_;
  runs::Reference reference_;
  runs::RunFolder runFolder_;
  std::vector<CandidateResult> results_;  // candidates in id order, then the merge
  ShareMatrix shares_;                    // between results_' alignments (sampled rows)
  double poolSeconds_ = 0;
  bool mergePlanned_ = false;
  size_t firstPick_ = 0;  // into results_; results_.size() without a budget
  size_t anchor_ = 0;     // MAFFT --auto, into results_; results_.size() when none
  // The first pick's running time over its expectation (at least 1): the
  // factor the hard deadline is stretched by; final once it has ended.
  double slowdown_ = 1;
  bool firstPickEnded_ = false;
  double longestChosen_ = 0;
  std::chrono::steady_clock::time_point runsStart_;
  size_t finished_ = 0, planned_ = 0;
};

}  // namespace advice

#endif
