#include "advice/nucleotide_candidates.h"

#include <algorithm>

#include "getChar.h"
#include "runs/aligner_names.h"
#include "runs/nucleotide_modes.h"

namespace advice {

const std::vector<BaselineConfiguration> kNucleotideSmallInput = {
    {MAFFT, "--nuc --localpair --maxiterate 1000", "nucleotide consistency: L-INS-i", 200},
    {MAFFT, "--nuc --globalpair --maxiterate 1000", "nucleotide consistency: G-INS-i", 200},
    {MAFFT, "--nuc --genafpair --maxiterate 1000", "nucleotide consistency: E-INS-i", 200},
    {MAFFT, "--nuc --maxiterate 1000", "nucleotide iterative: FFT-NS-i", kLargeInputSequences - 1},
};

const std::vector<BaselineConfiguration> kNucleotideLargeInput = {
    {MAFFT, "--nuc --retree 1", "nucleotide large input: FFT-NS-1", kLargeInputSequences},
    {MAFFT, "--nuc --parttree", "nucleotide large input: PartTree", kLargeInputSequences},
};

namespace {

void add(std::vector<Candidate>* list, int kind, const std::string& options,
         const std::string& reason) {
  Candidate c;
  c.id = static_cast<int>(list->size()) + 1;
  c.configuration = runs::makeConfiguration(kind, options);
  c.reasons.push_back(reason);
  list->push_back(c);
}

}  // namespace

NucleotideProposal proposeNucleotideCandidates(int sequences, const std::vector<int>& aligners,
                                               runs::Alphabet alphabet) {
  NucleotideProposal p;
  std::vector<std::pair<int, std::string>> missing;
  const std::string mode = std::string(runs::alphabetName(alphabet)) + " mode";
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    if (std::find(aligners.begin(), aligners.end(), kind) == aligners.end()) continue;
    std::string options, whyNot;
    if (runs::nucleotideOptions(kind, alphabet, &options, &whyNot))
      add(&p.candidates, kind, options,
          "default, " + mode + (options.empty() ? " (the aligner detects it)" : ""));
    else
      missing.emplace_back(kind, whyNot);
  }
  if (std::find(aligners.begin(), aligners.end(), MAFFT) != aligners.end()) {
    for (const BaselineConfiguration& b : kNucleotideSmallInput)
      if (sequences <= b.maxSequences) add(&p.candidates, b.kind, b.options, b.reason);
    for (const BaselineConfiguration& b : kNucleotideLargeInput)
      if (sequences >= b.maxSequences) add(&p.candidates, b.kind, b.options, b.reason);
  }
  for (const auto& m : missing) {
    NoNucleotideMode n;
    n.candidate.id = static_cast<int>(p.candidates.size() + p.leftOut.size()) + 1;
    n.candidate.configuration = runs::makeConfiguration(m.first, "");
    n.candidate.reasons.push_back("default");
    n.why = "left out (" + m.second + ")";
    p.leftOut.push_back(n);
  }
  return p;
}

}  // namespace advice
