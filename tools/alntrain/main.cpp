// alntrain: searches aligner configurations on benchmarks and writes the
// advisor's front and reference table (see command_line.h and trainer.h).
#include "command_line.h"

int main(int argc, char** argv) { return alntrain::alntrainMain(argc, argv); }
