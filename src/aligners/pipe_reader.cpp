#include "aligners/pipe_reader.h"

std::string readPipeToEnd(FILE* pipe) {
  std::string text;
  char buffer[4096];
  // fread, not fgets: the bytes after a NUL in a piece belong to the text too.
  for (;;) {
    const size_t got = fread(buffer, 1, sizeof buffer, pipe);
    text.append(buffer, got);
    if (got < sizeof buffer) break;  // end of file, or a read error
  }
  return text;
}
