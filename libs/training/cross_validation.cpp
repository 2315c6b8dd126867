#include "training/cross_validation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "advice/agreement_scores.h"
#include "advice/candidates.h"
#include "advice/choice_model.h"
#include "advice/core_tables.h"
#include "advice/ranking.h"
#include "getChar.h"
#include "runs/aligner_names.h"
#include "runs/data_set.h"
#include "runs/text_format.h"

namespace training {

namespace {

std::string fixed(double value, int decimals = 3) { return runs::fixed(value, decimals); }

std::string padded(const std::string& text, size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

struct Means {
  size_t n = 0;
  double agreement = 0, learnt = 0, reference = 0, defaults[runs::kAlignerKinds] = {},
         bestDefault = 0, oracle = 0, automatic = 0, candidatesOracle = 0;

  void add(const HeldOut& h) {
    ++n;
    agreement += h.agreementQ;
    learnt += h.learntQ;
    reference += h.referenceQ;
    for (int k = 0; k < runs::kAlignerKinds; ++k) defaults[k] += h.defaultQ[k];
    bestDefault += h.bestDefaultQ;
    oracle += h.oracleQ;
    automatic += h.autoQ;
    candidatesOracle += h.candidatesOracleQ;
  }
  double mean(double sum) const { return n ? sum / static_cast<double>(n) : 0; }
};

// lead: the width of the name, fold and size columns.
// The aligners whose default ran on some data set: the columns of the report.
std::vector<int> shownKinds(const std::vector<HeldOut>& rows) {
  std::vector<int> kinds;
  for (int k = 0; k < runs::kAlignerKinds; ++k) {
    bool any = false;
    for (const HeldOut& h : rows) any = any || h.hasDefault[k];
    if (any) kinds.push_back(k);
  }
  return kinds;
}

bool anyAuto(const std::vector<HeldOut>& rows) {
  return std::any_of(rows.begin(), rows.end(), [](const HeldOut& h) { return h.hasAuto; });
}

std::string meansLine(const std::string& label, const Means& m, const std::vector<int>& kinds,
                      bool automatic, size_t lead) {
  std::string line = padded(label + " (" + std::to_string(m.n) + ")", lead);
  line += padded(fixed(m.mean(m.agreement)), 11) + padded(fixed(m.mean(m.learnt)), 8) +
          padded(fixed(m.mean(m.reference)), 11);
  if (automatic) line += padded(fixed(m.mean(m.automatic)), 8);
  for (int k : kinds) line += padded(fixed(m.mean(m.defaults[k])), 10);
  line += padded(fixed(m.mean(m.bestDefault)), 13) + padded(fixed(m.mean(m.candidatesOracle)), 11) +
          fixed(m.mean(m.oracle));
  return line + "\n";
}

}  // namespace

std::vector<std::vector<size_t>> assignFolds(const std::vector<size_t>& sets, int folds) {
  std::vector<std::vector<size_t>> out(static_cast<size_t>(std::max(folds, 1)));
  for (size_t i = 0; i < sets.size(); ++i) out[i % out.size()].push_back(sets[i]);
  return out;
}

namespace {

// The candidates' results from the run cache: a valid run with its kept
// alignment, its Q and TC and its seconds.
std::vector<advice::CandidateResult> cachedResults(size_t s,
                                                   const std::vector<advice::Candidate>& candidates,
                                                   const Evaluator& evaluator) {
  const BenchmarkSet& set = evaluator.sets()[s];
  std::vector<advice::CandidateResult> results(candidates.size());
  for (size_t i = 0; i < candidates.size(); ++i) {
    advice::CandidateResult& r = results[i];
    r.candidate = candidates[i];
    const RunRecord* record = evaluator.cache().find(set.hash, candidates[i].configuration);
    r.valid = record && record->valid() &&
              evaluator.loadAlignment(s, candidates[i].configuration, &r.rows);
    r.hasQ = r.valid;
    r.q = r.valid ? record->q : 0;
    r.tc = r.valid ? record->tc : 0;
    r.seconds = record ? record->seconds : 0;
  }
  return results;
}

// Each aligner's default on the set, and the best run of all made on it.
void defaultsAndOracle(const BenchmarkSet& set, const RunCache& cache,
                       const std::vector<int>& aligners, HeldOut* result) {
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    const RunRecord* r = cache.find(set.hash, runs::makeConfiguration(kind, ""));
    const bool allowed = std::find(aligners.begin(), aligners.end(), kind) != aligners.end();
    if (r && r->valid()) {
      result->hasDefault[kind] = true;
      result->defaultQ[kind] = r->q;
      if (allowed) result->bestDefaultQ = std::max(result->bestDefaultQ, r->q);
    }
  }
  const RunRecord* automatic = cache.find(set.hash, runs::makeConfiguration(MAFFT, "--auto"));
  result->hasAuto = automatic && automatic->valid();
  result->autoQ = result->hasAuto ? automatic->q : 0;
  for (const RunRecord* r : cache.runsOf(set.hash)) {
    if (r->valid() && r->q > result->oracleQ) {
      result->oracleQ = r->q;
      result->oracle = r->configuration;
    }
  }
}

}  // namespace

ChoiceExample choiceExample(const std::vector<advice::CandidateResult>& results, size_t records,
                            bool anchored, double* agreementSpearman) {
  ChoiceExample example;
  std::vector<std::string> names;
  for (size_t i = 0; i < records; ++i) names.push_back(runs::safeName(i));
  std::vector<const std::vector<std::string>*> rows;
  std::vector<int> kinds;
  for (const advice::CandidateResult& r : results) {
    if (!r.valid) continue;
    rows.push_back(&r.rows);
    kinds.push_back(r.candidate.configuration.kind);
    example.q.push_back(r.q);
  }
  if (anchored && !results.empty() && results[0].valid) example.anchor = 0;
  if (!advice::candidateFeatures(names, rows, kinds, &example.candidates)) example = {};
  std::vector<double> agreement;
  for (const advice::FeatureVector& f : example.candidates)
    agreement.push_back(f[advice::kAgreement]);
  *agreementSpearman = spearman(agreement, example.q);
  return example;
}

bool adviseHeldOut(size_t s, const std::string& table, const std::string& front,
                   const std::vector<int>& aligners, Evaluator& evaluator, HeldOut* result,
                   std::string* error) {
  const BenchmarkSet& set = evaluator.sets()[s];
  result->set = s;
  advice::Proposal proposal = advice::proposeCandidates(
      set.features, static_cast<int>(set.data.size()), table, front, aligners);
  const bool anchored = std::find(aligners.begin(), aligners.end(), MAFFT) != aligners.end();
  if (anchored)
    advice::addMafftAutoAnchor(&proposal.candidates, static_cast<int>(set.data.size()),
                               static_cast<double>(set.data.longest()));
  result->candidates = static_cast<int>(proposal.candidates.size());
  std::vector<RunRequest> requests;
  for (const advice::Candidate& c : proposal.candidates) requests.push_back({s, c.configuration});
  if (evaluator.ensure(requests, true, error) != EnsureStatus::kDone) return false;

  std::vector<advice::CandidateResult> results = cachedResults(s, proposal.candidates, evaluator);
  advice::scoreAgreement(&results);
  for (const advice::CandidateResult& r : results)
    if (r.valid) result->candidatesOracleQ = std::max(result->candidatesOracleQ, r.q);
  result->example = choiceExample(results, set.data.size(), anchored, &result->agreementSpearman);
  result->runs = results;
  result->anchored = anchored;
  const std::vector<size_t> byAgreement =
      advice::rankCandidates(results, advice::RankBy::kAgreement);
  const std::vector<size_t> byReference =
      advice::rankCandidates(results, advice::RankBy::kReference);
  if (!byAgreement.empty() && results[byAgreement[0]].valid) {
    result->chosenByAgreement = true;
    result->agreementChoice = results[byAgreement[0]].candidate.configuration;
    result->agreementQ = results[byAgreement[0]].q;
  }
  if (!byReference.empty() && results[byReference[0]].valid) {
    result->chosenByReference = true;
    result->referenceChoice = results[byReference[0]].candidate.configuration;
    result->referenceQ = results[byReference[0]].q;
  }
  defaultsAndOracle(set, evaluator.cache(), aligners, result);
  return true;
}

namespace {

// Mean of the defined values (NaN skipped); 0 without any.
double definedMean(const std::vector<double>& values) {
  double sum = 0;
  int n = 0;
  for (double v : values)
    if (!std::isnan(v)) {
      sum += v;
      ++n;
    }
  return n ? sum / n : 0;
}

// The advisor keeps --auto's alignment unless another candidate's predicted
// Q is higher by more than the margin: the smallest at which the held-out
// choices fall more than kWorseThanAuto below --auto on at most
// kWorseShareAllowed of the data sets. The model that ships takes it over
// every fold's held-out sets; each held-out set is judged with the margin
// of the other folds' held-out sets alone, so that its own outcome never
// sets its threshold.
void keepMafftAutoUnlessBeaten(std::vector<HeldOut>* results, LearntChoice& learnt) {
  std::vector<ChoiceExample> examples;
  std::vector<int> folds;
  for (const HeldOut& h : *results) {
    examples.push_back(h.example);
    folds.push_back(h.fold);
  }
  const SwitchJudgement j = judgeSwitching(examples, folds, learnt.perFold);
  advice::ChoiceModel& m = learnt.all;
  m.hasSwitchMargin = j.anchored > 0;
  m.switchMargin = j.margin;
  m.autoSets = j.anchored;
  m.autoQ = j.autoQ;
  m.keptQ = j.keptQ;
  m.worseShare = j.worseShare;
  for (size_t i = 0; i < results->size(); ++i) {
    HeldOut& h = (*results)[i];
    h.keptQ = h.example.anchor < 0 ? h.learntQ : j.kept[i];
  }
}

}  // namespace

// The rule "learned where it beats agreement by kLearnedMargin" decided
// inside each outer fold: on the other folds' sets alone, each judged by a
// model fitted without the outer fold and without its own. The sets of
// the outer fold then get the estimator their fold chose, so that the
// figure is held out from the decision too.
void nestDefaultEstimator(std::vector<HeldOut>* results, int folds, advice::ChoiceModel* m) {
  double sum = 0;
  int learnedFolds = 0;
  for (int f = 1; f <= folds; ++f) {
    double learned = 0, agreement = 0;
    for (int g = 1; g <= folds; ++g) {
      if (g == f) continue;
      std::vector<ChoiceExample> training;
      for (const HeldOut& h : *results)
        if (h.fold != f && h.fold != g) training.push_back(h.example);
      const advice::ChoiceModel inner = fitChoiceModel(training);
      for (const HeldOut& h : *results) {
        if (h.fold != g) continue;
        learned += h.example.candidates.empty() ? h.agreementQ : chosenQ(inner, h.example);
        agreement += h.agreementQ;
      }
    }
    // Sums over the same sets: the margin is compared per set.
    size_t others = 0;
    for (const HeldOut& h : *results) others += h.fold != f;
    const bool useLearned =
        others > 0 && learned >= agreement + kLearnedMargin * static_cast<double>(others);
    learnedFolds += useLearned;
    for (HeldOut& h : *results)
      if (h.fold == f) sum += useLearned ? h.learntQ : h.agreementQ;
  }
  m->nestedFolds = folds;
  m->nestedLearnedFolds = learnedFolds;
  m->nestedDefaultQ = results->empty() ? 0 : sum / static_cast<double>(results->size());
}

LearntChoice learnChoice(std::vector<HeldOut>* results, int folds) {
  LearntChoice learnt;
  std::vector<ChoiceExample> all;
  for (const HeldOut& h : *results) all.push_back(h.example);
  learnt.all = fitChoiceModel(all);
  for (int f = 1; f <= folds; ++f) {
    std::vector<ChoiceExample> training;
    for (const HeldOut& h : *results)
      if (h.fold != f) training.push_back(h.example);
    const advice::ChoiceModel model = fitChoiceModel(training);
    learnt.perFold.push_back(model);
    for (HeldOut& h : *results) {
      if (h.fold != f) continue;
      const bool any = !h.example.candidates.empty();
      h.learntQ = any ? chosenQ(model, h.example) : h.agreementQ;
      h.learntSpearman =
          any ? spearman(advice::predictQ(model, h.example.candidates), h.example.q) : std::nan("");
    }
  }
  keepMafftAutoUnlessBeaten(results, learnt);
  std::vector<double> learnedQ, agreementQ, learnedRho, agreementRho;
  for (const HeldOut& h : *results) {
    learnedQ.push_back(h.learntQ);
    agreementQ.push_back(h.agreementQ);
    learnedRho.push_back(h.learntSpearman);
    agreementRho.push_back(h.agreementSpearman);
  }
  advice::ChoiceModel& m = learnt.all;
  m.folds = folds;
  m.crossValidatedSets = static_cast<int>(results->size());
  m.learnedQ = definedMean(learnedQ);
  m.agreementQ = definedMean(agreementQ);
  m.learnedSpearman = definedMean(learnedRho);
  m.agreementSpearman = definedMean(agreementRho);
  m.defaultEstimator = m.learnedQ >= m.agreementQ + kLearnedMargin ? advice::Estimator::kLearned
                                                                   : advice::Estimator::kAgreement;
  nestDefaultEstimator(results, folds, &m);
  return learnt;
}

bool crossValidate(const std::vector<size_t>& active, const CrossValidationSettings& settings,
                   Evaluator& evaluator, const FoldSearchFn& search, std::vector<HeldOut>* results,
                   std::string* error) {
  const std::vector<std::vector<size_t>> folds = assignFolds(active, settings.folds);
  for (size_t f = 0; f < folds.size(); ++f) {
    std::vector<size_t> training;
    for (size_t s : active)
      if (std::find(folds[f].begin(), folds[f].end(), s) == folds[f].end()) training.push_back(s);
    const std::string folder = settings.folder + "/folds/" + std::to_string(f + 1);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
      *error = "cannot create '" + folder + "': " + ec.message();
      return false;
    }
    std::string table, front;
    if (!search(training, static_cast<int>(f + 1), folder, &table, &front)) return false;
    for (size_t s : folds[f]) {
      HeldOut h;
      h.fold = static_cast<int>(f + 1);
      if (!adviseHeldOut(s, table, front, settings.aligners, evaluator, &h, error)) return false;
      results->push_back(h);
    }
  }
  return true;
}

namespace {

// The learnt choice's section: its held-out figures, the default
// estimator's rule, its weights and its record against MAFFT --auto.
std::string learntChoiceText(const advice::ChoiceModel& m) {
  std::string text =
      "\nLearnt choice without a reference: a linear model over the candidates' features\n"
      "(fitted per fold on the other folds' data sets). Held out, mean Q: learnt " +
      fixed(m.learnedQ) + ", plain agreement " + fixed(m.agreementQ) +
      "; mean rank correlation with Q per data set: learnt " + fixed(m.learnedSpearman) +
      ", agreement " + fixed(m.agreementSpearman) +
      ".\nDefault estimator: " + advice::estimatorName(m.defaultEstimator) + " (learnt needs " +
      fixed(kLearnedMargin) + " over agreement; that rule is decided on these same\n" +
      "held-out figures). Decided again inside each fold on the other folds alone " +
      "(nested),\nit chose learnt in " + std::to_string(m.nestedLearnedFolds) + " of " +
      std::to_string(m.nestedFolds) + " folds; the estimator so chosen has held-out mean Q " +
      fixed(m.nestedDefaultQ) + ".\nFitted on every data set (" + std::to_string(m.dataSets) +
      " sets, " + std::to_string(m.candidates) + " candidates), per feature's spread:\n ";
  for (int k = 0; k < advice::kFeatureCount; ++k)
    text += std::string(" ") + advice::kFeatureNames[k] + " " + fixed(m.weight[k], 4);
  text += "\n  level: " + fixed(m.intercept, 4) + " + " + fixed(m.slope, 4) + " x mean agreement\n";
  if (m.autoSets > 0) {
    char line[640];
    std::snprintf(line, sizeof line,
                  "\nAgainst MAFFT --auto, held out, on the %d data sets where it ran: --auto's "
                  "mean Q %.3f;\nthe advisor's choice (--auto's alignment unless the learnt "
                  "model's top candidate beats it\nby more than the switch margin) %.3f, more "
                  "than %.2f below --auto on %d of %d data sets (%.0f %%).\nThe margin: %.3f, "
                  "the smallest at which at most %.0f %% of the held-out choices lose that\nmuch "
                  "(each fold judged with the margin of the other folds' sets).\n",
                  m.autoSets, m.autoQ, m.keptQ, advice::kWorseThanAuto,
                  static_cast<int>(std::lround(m.worseShare * m.autoSets)), m.autoSets,
                  100 * m.worseShare, m.switchMargin, 100 * advice::kWorseShareAllowed);
    text += line;
  }
  return text;
}

}  // namespace

std::string formatCrossValidation(const std::vector<HeldOut>& results,
                                  const std::vector<BenchmarkSet>& sets, int folds,
                                  const LearntChoice& learnt) {
  std::vector<HeldOut> rows = results;
  std::sort(rows.begin(), rows.end(), [&](const HeldOut& a, const HeldOut& b) {
    return sets[a.set].name < sets[b.set].name;
  });
  size_t width = 8;
  for (const HeldOut& h : rows) width = std::max(width, sets[h.set].name.size());
  std::string text;
  text += "Cross-validation: " + std::to_string(folds) + " folds over " +
          std::to_string(rows.size()) + " data sets" +
          (static_cast<size_t>(folds) == rows.size() ? " (leave one out)" : "") + ".\n";
  text +=
      "Q of the advisor's first choice without a reference (agreement) and with it (reference,\n"
      "by Q + TC), of each aligner's default, of the best default, of the best of the advice's\n"
      "candidates and of the best run of all (oracle). A run that failed counts Q = 0. \"learnt\": "
      "the choice without a reference by\n"
      "the model learnt on the other folds' data sets (below); \"--auto\": MAFFT --auto, where\n"
      "it ran.\n\n";
  std::string header = padded("data set", width + 1) + padded("fold", 5) + padded("seqs", 4) +
                       padded("agreement", 11) + padded("learnt", 8) + padded("reference", 11);
  const bool automatic = anyAuto(rows);
  if (automatic) header += padded("--auto", 8);
  const std::vector<int> kinds = shownKinds(rows);
  for (int k : kinds) header += padded(runs::alignerName(k), 10);
  header += padded("best default", 13) + padded("candidates", 11) + padded("oracle", 8) +
            "agreement's choice\n";
  text += header;
  Means all, bins[3];
  for (const HeldOut& h : rows) {
    const BenchmarkSet& set = sets[h.set];
    std::string line = padded(set.name, width + 1) + padded(std::to_string(h.fold), 5) +
                       padded(std::to_string(set.data.size()), 4) +
                       padded(h.chosenByAgreement ? fixed(h.agreementQ) : "none", 11) +
                       padded(fixed(h.learntQ), 8) +
                       padded(h.chosenByReference ? fixed(h.referenceQ) : "none", 11);
    if (automatic) line += padded(h.hasAuto ? fixed(h.autoQ) : "failed", 8);
    for (int k : kinds) line += padded(h.hasDefault[k] ? fixed(h.defaultQ[k]) : "failed", 10);
    line += padded(fixed(h.bestDefaultQ), 13) + padded(fixed(h.candidatesOracleQ), 11) +
            padded(fixed(h.oracleQ), 8) + (h.chosenByAgreement ? h.agreementChoice.label() : "-");
    text += line + "\n";
    all.add(h);
    bins[h.bestDefaultQ < 0.5 ? 0 : h.bestDefaultQ <= 0.8 ? 1 : 2].add(h);
  }
  text += meansLine("mean", all, kinds, automatic, width + 10);
  text += "\nBy the best default's Q:\n";
  const char* labels[3] = {"below 0.5", "0.5 to 0.8", "above 0.8"};
  for (int b = 0; b < 3; ++b)
    if (bins[b].n) text += meansLine(labels[b], bins[b], kinds, automatic, width + 10);
  int bestKind = 0;
  for (int k = 1; k < runs::kAlignerKinds; ++k)
    if (all.defaults[k] > all.defaults[bestKind]) bestKind = k;
  text += "\nBest single default: " + std::string(runs::alignerName(bestKind)) + " (mean Q " +
          fixed(all.mean(all.defaults[bestKind])) + "). Agreement minus it: " +
          fixed(all.mean(all.agreement) - all.mean(all.defaults[bestKind])) +
          "; reference over oracle: " +
          (all.oracle > 0 ? fixed(all.reference / all.oracle) : std::string("NA")) + ".\n";
  text += learntChoiceText(learnt.all);
  return text;
}

std::string crossValidationTsv(const std::vector<HeldOut>& results,
                               const std::vector<BenchmarkSet>& sets) {
  const std::vector<int> kinds = shownKinds(results);
  std::string text =
      "data_set\tfold\tsequences\tagreement_Q\tlearnt_Q\treference_Q\tauto_Q\tagreement_rho\t"
      "learnt_rho\tkept_Q";
  for (int k : kinds) text += std::string("\t") + runs::alignerName(k);
  text +=
      "\tbest_default_Q\tcandidates_oracle_Q\toracle_Q\tcandidates\tagreement_choice\t"
      "reference_choice\toracle\n";
  auto rho = [](double r) { return std::isnan(r) ? std::string("NA") : fixed(r, 4); };
  auto choice = [](bool chosen, const runs::Configuration& c) {
    return chosen ? std::string(runs::alignerName(c.kind)) + " " + c.options : "NA";
  };
  for (const HeldOut& h : results) {
    const BenchmarkSet& set = sets[h.set];
    text += set.name + "\t" + std::to_string(h.fold) + "\t" + std::to_string(set.data.size()) +
            "\t" + (h.chosenByAgreement ? fixed(h.agreementQ, 4) : "NA") + "\t" +
            fixed(h.learntQ, 4) + "\t" + (h.chosenByReference ? fixed(h.referenceQ, 4) : "NA") +
            "\t" + (h.hasAuto ? fixed(h.autoQ, 4) : "NA") + "\t" + rho(h.agreementSpearman) + "\t" +
            rho(h.learntSpearman) + "\t" + fixed(h.keptQ, 4);
    for (int k : kinds) text += "\t" + (h.hasDefault[k] ? fixed(h.defaultQ[k], 4) : "NA");
    text += "\t" + fixed(h.bestDefaultQ, 4) + "\t" + fixed(h.candidatesOracleQ, 4) + "\t" +
            fixed(h.oracleQ, 4) + "\t" + std::to_string(h.candidates) + "\t" +
            choice(h.chosenByAgreement, h.agreementChoice) + "\t" +
            choice(h.chosenByReference, h.referenceChoice) + "\t" +
            choice(h.oracleQ > 0, h.oracle) + "\n";
  }
  return text;
}

}  // namespace training
