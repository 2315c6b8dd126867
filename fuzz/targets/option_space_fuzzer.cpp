// The training's option-space reader (JSON). A space taken must keep its
// promises: each gene has one default allele that writes nothing, numeric
// alleles ascend, no option text holds a refused character, the genes of
// the kinds sit side by side, and every kind's all-default genome is its
// aligner's default configuration.
#include <string>

#include "fuzz_support.h"
#include "training/genome.h"
#include "training/option_space.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  training::OptionSpace space;
  std::string error;
  const bool parsed =
      training::parseOptionSpace(std::string(fuzz::text(data, size)), &space, &error);
  if (!parsed) {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
    return 0;
  }
  int offset = 0;
  for (int kind = 0; kind < 5; ++kind) {
    fuzz::check(space.offset(kind) == offset, "offset of kind " + std::to_string(kind));
    for (const training::Gene& gene : space.genes(kind)) {
      fuzz::check(gene.alleles() >= 1 && gene.defaultAllele >= 0 &&
                      gene.defaultAllele < gene.alleles() && gene.texts[gene.defaultAllele].empty(),
                  "default allele of " + gene.name);
      int empty = 0;
      std::string bad;
      for (const std::string& text : gene.texts) {
        empty += text.empty();
        fuzz::check(training::safeOptionText(text, &bad), "refused character in '" + text + "'");
      }
      fuzz::check(empty == 1, "one allele writes nothing in " + gene.name);
      fuzz::check(gene.firstNumeric < gene.alleles(), "numeric alleles of " + gene.name);
    }
    offset += static_cast<int>(space.genes(kind).size());
    const runs::Configuration c =
        training::configurationOf(space, training::defaultGenome(space, kind));
    fuzz::check(c.kind == kind && c.options.empty(),
                "default genome of kind " + std::to_string(kind));
  }
  fuzz::check(space.totalGenes() == offset, "total genes");
  return 0;
}
