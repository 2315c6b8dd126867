// Names of a run's files under /tmp, shared by the runner and the merger.
// pid_ and time_ keep concurrent runs apart; nobody creates or removes the
// run directory here.
#ifndef GETCHAR_ALIGNERS_RUN_FILES_H
#define GETCHAR_ALIGNERS_RUN_FILES_H

#include <initializer_list>
#include <string>

// runDirectory() and outputFile(k) are declared in getChar.h.

// Removes the files that a run is about to write and the scoring reads, so
// that a run that fails leaves no earlier run's file to be scored. A file
// that is not there is fine; one that cannot be removed is reported on
// standard error and gives false.
bool removeRunFiles(std::initializer_list<std::string> paths);

#endif  // GETCHAR_ALIGNERS_RUN_FILES_H
