// The data set extraction of the four-argument mode, in process, with its
// side files in a scratch folder: every count line and side file must equal
// what a plain model of the line rules gives (a std::map for the repeats, an
// output stream for the numbers).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "getChar.h"

namespace {

std::string outDir;

struct Expected {
  std::string countLines;
  std::vector<std::string> sequenceFiles;  // of k = 1, 2, ...
  std::string collected;                   // All-sequences.fasta
  std::string repeats;                     // r-sequences.fasta
};

bool isHeaderLike(std::string_view line) { return line.empty() || line[0] == '>'; }

std::string countLine(const std::string& sequence) {
  size_t counts[6] = {0, 0, 0, 0, 0, 0};
  for (char c : sequence) ++counts[fuzz::residueGroup(c)];
  std::ostringstream line;
  for (int g = 0; g < 5; ++g) line << (g > 0 ? "," : "") << static_cast<double>(counts[g]);
  return line.str() + "\n";
}

Expected model(std::string_view data) {
  Expected e;
  const std::vector<std::string_view> lines = fuzz::splitLines(data);
  // A data set that starts with a sequence line is ignored whole.
  if (lines.empty() || !isHeaderLike(lines[0])) return e;
  std::map<std::string, std::string> firstName;
  std::string name, sequence;
  auto close = [&] {
    const auto known = firstName.find(sequence);
    if (known != firstName.end()) {
      e.repeats += ">" + name + ";>" + known->second + "\n";
      return;
    }
    firstName.emplace(sequence, name);
    e.sequenceFiles.push_back(">" + name + "\n" + sequence + "\n");
    e.collected += ">" + outDir + "/sequence" + std::to_string(e.sequenceFiles.size()) +
                   ".fasta\n" + sequence + "\n";
    e.countLines += countLine(sequence);
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (isHeaderLike(line)) {
      if (i > 0) close();
      name = std::string(line.empty() ? line : line.substr(1));
      sequence.clear();
    } else if (name.empty()) {
      continue;  // no name: opened by ">" or an empty line, or discarded
    } else if (line.find(' ') != std::string_view::npos) {
      name.clear();
      sequence.clear();
    } else {
      sequence += line;
    }
  }
  close();
  return e;
}

// Checks one side file and removes it, so that the next input starts from an
// empty folder ("" expected: the file must not exist).
void checkAndRemove(const std::string& name, const std::string& expected) {
  const std::string path = outDir + "/" + name;
  std::string content;
  const bool exists = fuzz::readFile(path, &content);
  fuzz::check(exists == !expected.empty(), name + (exists ? " written" : " missing"));
  fuzz::check(content == expected, name + " differs from the model");
  if (exists) ::unlink(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceLibraryMessages();
  outDir = fuzz::scratchDir() + "/out";
  ::mkdir(outDir.c_str(), 0700);
  dir = outDir;
  // The count lines go to descriptor 1: into a file read back after each run.
  const std::string counts = fuzz::scratchDir() + "/counts";
  const int fd = ::open(counts.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0) fuzz::fail("cannot redirect standard output");
  ::close(fd);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::writeInput(data, size, "data.fa");
  if (::ftruncate(STDOUT_FILENO, 0) != 0 || ::lseek(STDOUT_FILENO, 0, SEEK_SET) != 0) {
    fuzz::fail("cannot empty the count file");
  }
  fuzz::check(splitDataSet(path.c_str()) == SplitOutcome::kRead, "outcome");

  const Expected e = model(fuzz::text(data, size));
  std::string counts;
  fuzz::readFile("/proc/self/fd/1", &counts);
  fuzz::check(counts == e.countLines, "count lines differ from the model");
  for (size_t k = 1; k <= e.sequenceFiles.size(); ++k) {
    checkAndRemove("sequence" + std::to_string(k) + ".fasta", e.sequenceFiles[k - 1]);
  }
  checkAndRemove("sequence" + std::to_string(e.sequenceFiles.size() + 1) + ".fasta", "");
  checkAndRemove("All-sequences.fasta", e.collected);
  checkAndRemove("r-sequences.fasta", e.repeats);
  return 0;
}
