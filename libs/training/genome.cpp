#include "training/genome.h"

#include "getChar.h"
#include "runs/aligner_names.h"

namespace training {

Genome defaultGenome(const OptionSpace& space, int kind) {
  Genome g;
  g.kind = kind;
  for (int k = 0; k < runs::kAlignerKinds; ++k)
    for (const Gene& gene : space.genes(k)) g.alleles.push_back(gene.defaultAllele);
  return g;
}

Genome randomGenome(const OptionSpace& space, const std::vector<int>& kinds) {
  Genome g;
  g.kind = kinds[static_cast<size_t>(rnd(0, static_cast<int>(kinds.size()) - 1))];
  for (int k = 0; k < runs::kAlignerKinds; ++k)
    for (const Gene& gene : space.genes(k)) g.alleles.push_back(rnd(0, gene.alleles() - 1));
  return g;
}

runs::Configuration configurationOf(const OptionSpace& space, const Genome& genome) {
  std::string options;
  const std::vector<Gene>& genes = space.genes(genome.kind);
  for (size_t i = 0; i < genes.size(); ++i) {
    const int allele = genome.alleles[static_cast<size_t>(space.offset(genome.kind)) + i];
    const std::string& text = genes[i].texts[static_cast<size_t>(allele)];
    if (text.empty()) continue;
    if (!options.empty()) options += ' ';
    options += text;
  }
  return runs::makeConfiguration(genome.kind, options);
}

std::string configurationKey(const runs::Configuration& configuration) {
  return std::to_string(configuration.kind) + "\t" + configuration.options;
}

}  // namespace training
