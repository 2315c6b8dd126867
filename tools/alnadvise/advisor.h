// alnadvise: from a protein FASTA file to its best alignment and a ranked
// report. runAdvisor is the whole flow; the command line only fills
// AdviseOptions.
#ifndef ALNADVISE_ADVISOR_H
#define ALNADVISE_ADVISOR_H

#include <string>
#include <vector>

namespace alnadvise {

enum class OutputFormat { kTable, kTsv, kJson };

struct AdviseOptions {
  std::string dataSet;
  std::string reference;     // "": agreement mode
  std::string outputFolder;  // "": <base name>.advise in the working folder
  std::string table;         // "": the shipped reference table
  std::string front;         // "": the shipped front
  std::string tools;         // "": see findToolsFolder
  int jobs = 1;
  std::vector<int> aligners{0, 1, 2, 3, 4};
  double timeoutSeconds = 0;  // 0: none
  bool merge = true;
  bool keep = false;
  bool force = false;
  bool quiet = false;
  OutputFormat format = OutputFormat::kTable;
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

}  // namespace alnadvise

#endif
