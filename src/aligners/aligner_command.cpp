#include "aligners/aligner_command.h"

#include "aligners/run_files.h"
#include "getChar.h"

bool isMuscle5Ensemble(const std::string& options) {
  return options.find("-stratified") != std::string::npos ||
         options.find("-diversified") != std::string::npos;
}

std::string alignerCommand(int alignerKind, const std::string& inputFile, const std::string& out,
                           const std::string& options, int nSequences) {
  switch (alignerKind) {
    case CLUSTALW:
      // clustalw2 writes a tree beside its input, so it reads a copy in the
      // run directory.
      return "cp " + inputFile + " " + out + ".input; " + "./bin/clustalw2 -infile=" + out +
             ".input -outfile=" + out + " -output=fasta -quiet -outorder=input " + options;
    case DIALIGNTX:
      return "./bin/dialign-tx " + options + " ./lib/DIALIGN-TX_1.0.2/conf/ " + inputFile + " " +
             out + " > /dev/null ";
    case KALIGN:
      return "./bin/kalign2 -in " + inputFile + " -out " + out + " -quiet " + options +
             " 2> /dev/null";
    case MAFFT: {
      std::string command = nSequences < kMafftPartTreeFrom
                                ? "./bin/mafft --anysymbol --thread 1 --quiet "
                                : "./bin/mafft --anysymbol --thread 1 --quiet --parttree ";
      return command + options + " " + inputFile + " > " + out + " 2> /dev/null";
    }
    case MUSCLE:
      return "./bin/muscle3.8 -in " + inputFile + " -out " + out +
             (nSequences < kMuscleFewIterationsFrom ? " -quiet " : " -quiet -maxiters 2 ") +
             options + " 2> /dev/null";
    case PROBCONS:
      return "./bin/probcons " + options + " " + inputFile + " > " + out + " 2> /dev/null";
    case CLUSTALO:
      return "./bin/clustalo -i " + inputFile + " -o " + out + " --outfmt=fa --threads=1 " +
             options + " 2> /dev/null";
    case MUSCLE5:
      if (isMuscle5Ensemble(options))
        return "./bin/muscle5 -align " + inputFile + " -output " + out + ".efa -threads 1 " +
               options + " 2> /dev/null && ./bin/muscle5 -maxcc " + out + ".efa -output " + out +
               " 2> /dev/null";
      return "./bin/muscle5 -align " + inputFile + " -output " + out + " -threads 1 " + options +
             " 2> /dev/null";
    case PROBALIGN:
      return "./bin/probalign " + options + " " + inputFile + " > " + out + " 2> /dev/null";
    default:
      return "";
  }
}

std::string mergeCommand(const std::string& options) {
  const std::string merged = outputFile(4);
  return "./bin/t_coffee -in=" + outputFile(1) + " -in=" + outputFile(2) + " -in=" + outputFile(3) +
         " -output=fasta_aln -outfile=" + merged +
         " -evaluate_mode=t_coffee_slow -maxnseq=80 -maxlen=2500 -multi_core=4 -quiet -newtree=" +
         merged + ".dnd" + (options.empty() ? "" : " " + options);
}
