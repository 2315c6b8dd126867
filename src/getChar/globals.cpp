// The global tables shared by all operations. The definition order is the
// construction order (and the reverse is the destruction order at exit).
#include "getChar.h"

t_OF OF;
t_Front FRONT;
std::string aligner;
t_Alignments alignments[10];
std::string dir;

int NC = 0;
int nSequencesInput = 0;
int noMAFFT = 0, noKALIGN = 0, noMUSCLE = 0;
int opt[3] = {0, 0, 0};
double distA = 0, distB = 0, distC = 0;
int iA = 0, iB = 0, iC = 0, iD = 0;
int time_ = 0, pid_ = 0;

double seed = 237.0;
int jrand = 0;
double oldrand[55] = {};
