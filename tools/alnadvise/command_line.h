// The alnadvise command line (CLI11) -> AdviseOptions.
#ifndef ALNADVISE_COMMAND_LINE_H
#define ALNADVISE_COMMAND_LINE_H

#include <string>
#include <vector>

#include "advisor.h"

namespace alnadvise {

// Parses argv. Returns -1 when the advice should run with *options;
// otherwise the exit status to end with at once: 0 after --help or
// --version (printed on standard output), 2 after a usage error (one line
// on standard error).
int parseCommandLine(int argc, char** argv, AdviseOptions* options);

// The whole program: parse, then runAdvisor.
int alnadviseMain(int argc, char** argv);

}  // namespace alnadvise

#endif
