#include "advice/candidates.h"

#include <algorithm>
#include <vector>

#include "advice/mafft_auto.h"
#include "aligners/aligner_command.h"
#include "getChar.h"
#include "runs/aligner_names.h"

namespace advice {

const std::vector<BaselineConfiguration> kStrongBaseline = {
    {MAFFT, "--localpair --maxiterate 1000", "consistency: L-INS-i", 200},
    {MAFFT, "--globalpair --maxiterate 1000", "consistency: G-INS-i", 200},
    {MAFFT, "--genafpair --maxiterate 1000", "consistency: E-INS-i", 200},
};

// MAFFT's faster approximations of --auto's own FFT-NS-2 (--retree 1,
// --parttree, --dpparttree) are no candidates: on eight simulated families
// of 1,000 to 10,000 sequences they were below --auto every time (by 0.001
// to 0.080), and the learnt estimator, fitted on small data sets, picked
// them over --auto three times, losing up to 0.046.
const std::vector<BaselineConfiguration> kLargeInputBaseline = {
    {MUSCLE, "-maxiters 2", "large input: two iterations", kLargeInputSequences},
    {CLUSTALO, "", "large input: Clustal Omega", kLargeInputSequences},
    {MAFFT, "--memsavetree", "large input: memory-saving guide tree", kHugeInputSequences},
};

namespace {

bool allowed(const std::vector<int>& aligners, int kind) {
  return std::find(aligners.begin(), aligners.end(), kind) != aligners.end();
}

void add(std::vector<Candidate>* list, const std::vector<int>& aligners,
         const runs::Configuration& configuration, const std::string& reason) {
  if (!allowed(aligners, configuration.kind)) return;
  for (Candidate& c : *list) {
    if (c.configuration == configuration) {
      c.reasons.push_back(reason);
      return;
    }
  }
  Candidate c;
  c.id = static_cast<int>(list->size()) + 1;
  c.configuration = configuration;
  c.reasons.push_back(reason);
  list->push_back(c);
}

}  // namespace

std::vector<Candidate> assembleCandidates(const CandidateSources& sources) {
  std::vector<Candidate> list;
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind)
    add(&list, sources.aligners, runs::makeConfiguration(kind, ""), "default");
  for (const BaselineConfiguration& b : kStrongBaseline) {
    if (sources.sequences <= b.maxSequences)
      add(&list, sources.aligners, runs::makeConfiguration(b.kind, b.options), b.reason);
  }
  for (const BaselineConfiguration& b : kLargeInputBaseline) {
    if (sources.sequences >= b.maxSequences)
      add(&list, sources.aligners, runs::makeConfiguration(b.kind, b.options), b.reason);
  }
  for (const NearestReference& r : sources.nearest) {
    add(&list, sources.aligners, r.configuration,
        "nearest reference " + r.name + " (rank " + std::to_string(r.rank) + ")");
  }
  for (const FrontPick& p : sources.front)
    add(&list, sources.aligners, p.configuration, "front: " + p.role);
  return list;
}

void addMafftAutoAnchor(std::vector<Candidate>* list, int sequences, double longest,
                        const std::string& modeOptions) {
  const MafftAutoStrategy strategy = mafftAutoStrategy(sequences, longest);
  const std::string prefix = modeOptions.empty() ? "" : modeOptions + " ";
  Candidate anchor;
  anchor.configuration = runs::makeConfiguration(MAFFT, prefix + kMafftAutoOption);
  anchor.reasons.push_back(std::string("MAFFT --auto, the one-line alternative (") +
                           strategy.name + " here)");
  std::vector<Candidate> out{anchor};
  const std::string same = prefix + strategy.options;
  // From kMafftPartTreeFrom on the runner adds --parttree to every other
  // MAFFT run: none of them is --auto's strategy any more.
  const bool equivalents = sequences < kMafftPartTreeFrom;
  for (const Candidate& c : *list) {
    Candidate& a = out.front();
    if (c.configuration.kind == MAFFT &&
        ((equivalents && sameOptionWords(c.configuration.options, same)) ||
         sameOptionWords(c.configuration.options, a.configuration.options))) {
      a.reasons.insert(a.reasons.end(), c.reasons.begin(), c.reasons.end());
      continue;
    }
    out.push_back(c);
  }
  for (size_t i = 0; i < out.size(); ++i) out[i].id = static_cast<int>(i) + 1;
  *list = out;
}

}  // namespace advice
