// The getChar executable: a thin entry over the library.
#include "getChar.h"

int main(int argc, char** argv) { return getCharMain(argc, argv); }
