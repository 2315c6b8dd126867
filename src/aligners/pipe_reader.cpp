#include "aligners/pipe_reader.h"

std::string readPipeToEnd(FILE* pipe) {
  std::string text;
  char buffer[128];
  while (!feof(pipe)) {
    if (fgets(buffer, sizeof buffer, pipe) != nullptr) {
      text += buffer;
    } else if (ferror(pipe)) {
      // Without this a read error would never reach end of file.
      break;
    }
  }
  return text;
}
