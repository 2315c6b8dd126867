// Reading a child's standard output through a popen() pipe.
#ifndef GETCHAR_ALIGNERS_PIPE_READER_H
#define GETCHAR_ALIGNERS_PIPE_READER_H

#include <cstdio>
#include <string>

// Reads the stream to its end and returns every byte read, NUL bytes
// included. A read error ends the reading like end of file; the text read so
// far stands.
std::string readPipeToEnd(FILE* pipe);

#endif  // GETCHAR_ALIGNERS_PIPE_READER_H
