// Does advising pay? Each fold's data sets are held out in turn: a search
// on the other folds' data sets learns a table and a front, and the
// advisor's own candidate assembly (defaults, MAFFT's consistency
// strategies, nearest references, front picks) and ranking choose an
// alignment of each held-out data set, once by agreement (no reference)
// and once by Q + TC against the reference. Candidate runs go through the
// run cache like the search's. The advice is made without the merge.
#ifndef TRAINING_CROSS_VALIDATION_H
#define TRAINING_CROSS_VALIDATION_H

#include <functional>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "runs/aligner_names.h"
#include "runs/configuration.h"
#include "training/choice_fit.h"
#include "training/evaluation.h"
#include "training/search.h"

namespace training {

struct HeldOut {
  size_t set = 0;                             // index into the benchmark
  int fold = 0;                               // 1-based
  bool hasDefault[runs::kAlignerKinds] = {};  // the default's run was valid
  double defaultQ[runs::kAlignerKinds] = {};  // 0 when failed
  double bestDefaultQ = 0;
  int candidates = 0;
  bool chosenByAgreement = false;
  runs::Configuration agreementChoice;
  double agreementQ = 0;  // 0 when nothing could be chosen
  bool chosenByReference = false;
  runs::Configuration referenceChoice;
  double referenceQ = 0;
  runs::Configuration oracle;  // the best run of all on the set, by Q
  double oracleQ = 0;
  double candidatesOracleQ = 0;  // the best of the candidates the advice ran
  bool hasAuto = false;          // MAFFT --auto ran on the set (listed or searched)
  double autoQ = 0;
  // The learnt choice (advice/choice_model.h): the valid candidates'
  // features and Q, the Q of the candidate that the model fitted on the
  // other folds' data sets chooses (the agreement's Q when no model
  // applies), and both choices' rank correlation with the true Q (NaN when
  // undefined).
  ChoiceExample example;
  double learntQ = 0;
  double learntSpearman = 0, agreementSpearman = 0;
  // The advisor's choice: --auto's alignment unless the learnt model's top
  // candidate beats it by more than the margin (learnChoice).
  double keptQ = 0;
  // Every candidate in the advice's order (--auto first when anchored),
  // with its rows, Q and validity: what each effort's budget chooses from.
  std::vector<advice::CandidateResult> runs;
  bool anchored = false;
};

// The learnt choice's models: one per fold, fitted on the other folds'
// held-out data sets, and one fitted on all of them, which carries the
// cross-validation's figures and the default estimator they choose.
struct LearntChoice {
  std::vector<advice::ChoiceModel> perFold;
  advice::ChoiceModel all;
};

// The learnt choice becomes the default only when, held out, it beats plain
// agreement's mean Q by at least this much.
const double kLearnedMargin = 0.002;

// Data set i of the ordered list goes to fold i mod folds (1-based in
// reports): a fixed, seed-free split.
std::vector<std::vector<size_t>> assignFolds(const std::vector<size_t>& sets, int folds);

// Runs a search over the given data sets, writing its table and front into
// folder; false when interrupted or failed (the caller knows why).
using FoldSearchFn =
    std::function<bool(const std::vector<size_t>& sets, int fold, const std::string& folder,
                       std::string* table, std::string* front)>;

struct CrossValidationSettings {
  int folds = 0;
  std::vector<int> aligners{0, 1, 2, 3, 4};
  std::string folder;  // folds/<k>/ go below it
};

// False when a search or a run was interrupted or failed (*error says so
// for failures); the held-out results made so far stay in *results.
bool crossValidate(const std::vector<size_t>& active, const CrossValidationSettings& settings,
                   Evaluator& evaluator, const FoldSearchFn& search, std::vector<HeldOut>* results,
                   std::string* error);

// Fits the learnt choice fold by fold and sets each result's learntQ,
// keptQ and rank correlations; the model fitted on all carries the margin
// and the held-out figures against MAFFT --auto.
LearntChoice learnChoice(std::vector<HeldOut>* results, int folds);

// The learnt choice's example: the valid candidates' features (computed
// among them alone) and Q, anchored on results[0] (MAFFT --auto) when
// anchored and valid; *agreementSpearman: plain agreement's rank
// correlation with Q.
ChoiceExample choiceExample(const std::vector<advice::CandidateResult>& results, size_t records,
                            bool anchored, double* agreementSpearman);

// Advises one data set with a table and a front: the candidates, their runs
// (through the cache) and the two choices; false when interrupted or failed.
bool adviseHeldOut(size_t set, const std::string& table, const std::string& front,
                   const std::vector<int>& aligners, Evaluator& evaluator, HeldOut* result,
                   std::string* error);

// report.txt's cross-validation section and the per-set TSV.
std::string formatCrossValidation(const std::vector<HeldOut>& results,
                                  const std::vector<BenchmarkSet>& sets, int folds,
                                  const LearntChoice& learnt);
std::string crossValidationTsv(const std::vector<HeldOut>& results,
                               const std::vector<BenchmarkSet>& sets);

}  // namespace training

#endif
