#include "aligners/run_files.h"

#include <unistd.h>

#include <boost/lexical_cast.hpp>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "getChar.h"

namespace {
std::string decimal(int value) { return boost::lexical_cast<std::string>(value); }
}  // namespace

std::string runDirectory() { return "/tmp/fasta" + decimal(pid_) + decimal(time_); }

std::string outputFile(int k) {
  return runDirectory() + "/fasta" + decimal(k) + decimal(pid_) + decimal(time_);
}

bool removeRunFiles(std::initializer_list<std::string> paths) {
  bool removed = true;
  for (const std::string& path : paths) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR) continue;
    std::cerr << "Error: cannot remove '" << path << "' before the run: " << std::strerror(errno)
              << "." << std::endl;
    removed = false;
  }
  return removed;
}
