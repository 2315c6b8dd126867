// Names of a run's files under /tmp, shared by the runner and the merger.
// pid_ and time_ keep concurrent runs apart; nobody creates or removes the
// run directory here.
#ifndef GETCHAR_ALIGNERS_RUN_FILES_H
#define GETCHAR_ALIGNERS_RUN_FILES_H

#include <string>

// "/tmp/fasta" + pid_ + time_
std::string runDirectory();

// runDirectory() + "/fasta" + k + pid_ + time_
std::string outputFile(int k);

#endif  // GETCHAR_ALIGNERS_RUN_FILES_H
