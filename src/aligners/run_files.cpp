#include "aligners/run_files.h"

#include <boost/lexical_cast.hpp>

#include "getChar.h"

namespace {
std::string decimal(int value) { return boost::lexical_cast<std::string>(value); }
}  // namespace

std::string runDirectory() { return "/tmp/fasta" + decimal(pid_) + decimal(time_); }

std::string outputFile(int k) {
  return runDirectory() + "/fasta" + decimal(k) + decimal(pid_) + decimal(time_);
}
