#include "runs/file_input.h"

#include <fstream>
#include <sstream>

namespace runs {

bool readWholeFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  if (in.bad()) return false;
  *text = out.str();
  return true;
}

}  // namespace runs
