// Merging the alignments of three runs with the consistency tool.
#include <iostream>
#include <string>

#include "aligners/aligner_command.h"
#include "aligners/run_files.h"
#include "aligners/scoring.h"
#include "getChar.h"

void mergeAlignments(std::string /*inputFile: the merge reads the run files*/,
                     std::string referenceFile, double& scoreA, double& scoreB, double& elapsed) {
  const std::string command = mergeCommand();
  std::cout << command << std::endl;
  execAligner(command, elapsed);
  scoreRunOutput(outputFile(4), referenceFile, scoreA, scoreB, elapsed);
}
