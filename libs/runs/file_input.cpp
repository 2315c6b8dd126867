#include "runs/file_input.h"

#include <fstream>

namespace runs {

bool readWholeFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // istream::read turns a failed read (a folder, an I/O error) into badbit;
  // copying the stream buffer with << would end quietly there instead, as
  // if at the end of the file.
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
  if (in.bad()) return false;
  *text = std::move(bytes);
  return true;
}

}  // namespace runs
