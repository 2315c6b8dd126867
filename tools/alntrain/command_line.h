// The alntrain command line (CLI11) -> TrainOptions.
#ifndef ALNTRAIN_COMMAND_LINE_H
#define ALNTRAIN_COMMAND_LINE_H

#include "trainer.h"

namespace alntrain {

// Returns -1 when the training should run with *options; otherwise the exit
// status to end with at once: 0 after --help or --version (printed on
// standard output), 2 after a usage error (one line on standard error).
int parseCommandLine(int argc, char** argv, TrainOptions* options);

// The whole program: parse, then runTrainer.
int alntrainMain(int argc, char** argv);

}  // namespace alntrain

#endif
