#include "runs/aligner_jobs.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "aligners/aligner_command.h"
#include "getChar.h"

namespace runs {

namespace {

void enterTools(const std::string& toolsFolder) {
  if (::chdir(toolsFolder.c_str()) != 0)
    throw std::runtime_error("cannot enter '" + toolsFolder + "': " + std::strerror(errno));
}

std::string formatResult(double a, double b, double elapsed) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%.17g %.17g %.17g", a, b, elapsed);
  return buffer;
}

}  // namespace

JobWork alignerJob(const std::string& toolsFolder, const std::string& input,
                   const std::string& reference, const Configuration& configuration, int fileIndex,
                   int sequences) {
  return [=]() {
    enterTools(toolsFolder);
    // MAFFT --auto picks its own strategy by size: the runner's --parttree
    // from kMafftPartTreeFrom on would overrule it.
    const bool mafftAuto = configuration.kind == MAFFT &&
                           (" " + configuration.options + " ").find(" --auto ") != std::string::npos;
    nSequencesInput = mafftAuto ? std::min(sequences, kMafftPartTreeFrom - 1) : sequences;
    RunnerResult r;
    runAligner(input, reference, configuration.kind, configuration.options, r.scoreA, r.scoreB,
               r.elapsed, fileIndex);
    return formatResult(r.scoreA, r.scoreB, r.elapsed);
  };
}

JobWork mergeJob(const std::string& toolsFolder, const std::string& input,
                 const std::string& reference, const std::string& options) {
  return [=]() {
    enterTools(toolsFolder);
    RunnerResult r;
    mergeAlignments(input, reference, r.scoreA, r.scoreB, r.elapsed, options);
    return formatResult(r.scoreA, r.scoreB, r.elapsed);
  };
}

bool parseRunnerResult(const std::string& text, RunnerResult* out) {
  return std::sscanf(text.c_str(), "%lf %lf %lf", &out->scoreA, &out->scoreB, &out->elapsed) == 3;
}

}  // namespace runs
