// A point of the search: an aligner kind and one allele per gene of every
// kind (the genes of the other kinds ride along unexpressed, so crossover
// between kinds keeps what each parent had learnt). Only the kind's own
// genes make its configuration.
#ifndef TRAINING_GENOME_H
#define TRAINING_GENOME_H

#include <string>
#include <vector>

#include "runs/configuration.h"
#include "training/option_space.h"

namespace training {

struct Genome {
  int kind = 0;
  std::vector<int> alleles;  // OptionSpace::totalGenes() entries

  bool operator==(const Genome& other) const {
    return kind == other.kind && alleles == other.alleles;
  }
};

// Every gene at its default: the aligner's own default configuration.
Genome defaultGenome(const OptionSpace& space, int kind);

// A kind drawn from kinds and every allele drawn uniformly, with the
// library's generator.
Genome randomGenome(const OptionSpace& space, const std::vector<int>& kinds);

// The kind and the texts of its non-default genes, space order, normalised.
runs::Configuration configurationOf(const OptionSpace& space, const Genome& genome);

// The text that identifies a configuration in caches and maps:
// "<kind>\t<options>".
std::string configurationKey(const runs::Configuration& configuration);

}  // namespace training

#endif
