// alnadvise: aligns a protein data set with several aligner configurations
// and reports the best (see command_line.h and advisor.h).
#include "command_line.h"

int main(int argc, char** argv) { return alnadvise::alnadviseMain(argc, argv); }
