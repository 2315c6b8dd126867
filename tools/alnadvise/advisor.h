// alnadvise: from a protein FASTA file to its best alignment and a ranked
// report. runAdvisor runs the library's advice (advice/advisor.h) and writes
// the output folder and standard output; the command line only fills
// AdviseOptions.
#ifndef ALNADVISE_ADVISOR_H
#define ALNADVISE_ADVISOR_H

#include <string>

#include "advice/advisor.h"
#include "scoring/alignment_formats.h"

namespace alnadvise {

enum class OutputFormat { kTable, kTsv, kJson };

struct AdviseOptions : advice::AdviceSettings {
  std::string outputFolder;  // "": <base name>.advise in the working folder
  bool force = false;
  bool html = true;  // write report.html
  bool quiet = false;
  OutputFormat format = OutputFormat::kTable;
  std::vector<scoring::TextFormat> alignmentFormats;  // best.<ext> beside best.fasta
  bool calibrate = false;  // time the reference runs instead of advising
  // Thresholds of column confidence for best.masked.fasta and
  // best.trimmed.fasta; below 0: not written.
  double mask = -1, trim = -1;
};

// Exit statuses.
const int kAdviceGiven = 0;  // at least one alignment was produced
const int kEveryRunFailed = 1;
const int kBadInput = 2;  // usage, input, reference, tools or output folder

// Runs the advice: messages on standard error, the ranked report on standard
// output, files in the output folder. Returns the exit status, or 128 + the
// signal when SIGINT, SIGTERM or SIGHUP stopped it (children killed, run
// folder removed, no best.fasta written).
int runAdvisor(const AdviseOptions& options);

// --calibrate: times MAFFT --auto on the reference families and writes
// cost-calibration.json beside the cost model (advice/calibration.h); the
// runs and the factor on standard output. 0 when written; 1 when a run
// failed or the file could not be written; 2 for a cost model or tools
// folder that cannot be used; 128 + the signal when interrupted.
int runCalibration(const AdviseOptions& options);

}  // namespace alnadvise

#endif
