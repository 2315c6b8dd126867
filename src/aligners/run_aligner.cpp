// Running one aligner on a sequence file and scoring its alignment.
#include <iostream>
#include <string>

#include "aligners/aligner_command.h"
#include "aligners/run_files.h"
#include "aligners/scoring.h"
#include "getChar.h"

void runAligner(std::string inputFile, std::string referenceFile, int alignerKind,
                std::string alignerOptions, double& scoreA, double& scoreB, double& elapsed,
                int fileIndex) {
  const std::string out = outputFile(fileIndex);
  const std::string command =
      alignerCommand(alignerKind, inputFile, out, alignerOptions, nSequencesInput);
  // CLUSTALW reads a copy of the input: when the copy fails, an older copy
  // must not be aligned instead.
  const bool cleared = alignerKind == CLUSTALW  ? removeRunFiles({out, out + ".input"})
                       : alignerKind == MUSCLE5 ? removeRunFiles({out, out + ".efa"})
                                                : removeRunFiles({out});
  if (alignerKind == MAFFT) {
    const bool large = nSequencesInput >= kMafftPartTreeFrom;
    std::cout << (large ? "Mayor a 10000" : "Menor a 10000") << std::endl;
    std::cout << OF.rows[0].feature[0] << std::endl;
    if (large) std::cout << command << std::endl;
  }
  if (!cleared) {
    failRun(scoreA, scoreB, elapsed);
    return;
  }
  execAligner(command, elapsed);
  scoreRunOutput(out, referenceFile, scoreA, scoreB, elapsed);
}
