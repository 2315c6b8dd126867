// Merging the alignments of three runs with the consistency tool.
#include <iostream>
#include <string>

#include "aligners/aligner_command.h"
#include "aligners/run_files.h"
#include "aligners/scoring.h"
#include "getChar.h"

void mergeAlignments(std::string /*inputFile: the merge reads the run files*/,
                     std::string referenceFile, double& scoreA, double& scoreB, double& elapsed,
                     const std::string& options) {
  const std::string merged = outputFile(4);
  const std::string command = mergeCommand(options);
  // A failed merge must not leave an earlier merge's alignment to be scored.
  const bool cleared = removeRunFiles({merged, merged + ".dnd"});
  std::cout << command << std::endl;
  if (!cleared) {
    failRun(scoreA, scoreB, elapsed);
    return;
  }
  execAligner(command, elapsed);
  scoreRunOutput(merged, referenceFile, scoreA, scoreB, elapsed);
}
