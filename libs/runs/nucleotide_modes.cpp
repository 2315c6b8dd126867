#include "runs/nucleotide_modes.h"

#include "getChar.h"

namespace runs {

bool nucleotideOptions(int kind, Alphabet alphabet, std::string* options, std::string* whyNot) {
  options->clear();
  if (!isNucleotide(alphabet)) return true;
  const bool rna = alphabet == Alphabet::kRna;
  switch (kind) {
    case CLUSTALW:
      *options = "-TYPE=DNA";  // ClustalW treats RNA as DNA (U as T)
      return true;
    case DIALIGNTX:
      *options = "-D";
      return true;
    case KALIGN:
      // Kalign 3 detects nucleotides and takes its nucleotide defaults;
      // its --type dna left a 17-sequence DNA family barely aligned (2,928
      // columns for 350 bases, Q 0.10 against 0.19).
      return true;
    case MAFFT:
      *options = "--nuc";
      return true;
    case MUSCLE:
      *options = rna ? "-seqtype rna" : "-seqtype dna";
      return true;
    case CLUSTALO:
      *options = rna ? "--seqtype=RNA" : "--seqtype=DNA";
      return true;
    case MUSCLE5:
      return true;  // -align has no type switch (5.2 ignores -nt): it detects nucleotides
    case PROBALIGN:
      *options = "-nuc";
      return true;
    case PROBCONS:
      *whyNot = "ProbCons has protein parameters only, no nucleotide mode";
      return false;
    default:
      *whyNot = "no nucleotide mode known";
      return false;
  }
}

std::string mergeTypeOption(Alphabet alphabet) {
  switch (alphabet) {
    case Alphabet::kDna:
      return "-type=dna";
    case Alphabet::kRna:
      return "-type=rna";
    default:
      return "";
  }
}

}  // namespace runs
