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

// Checks that the side file `name` holds `expected` ("" expected: the file
// does not exist). One read of the expected size and a byte more.
void checkSideFile(const std::string& name, const std::string& expected) {
  const std::string path = outDir + "/" + name;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  fuzz::check((fd >= 0) == !expected.empty(), name + (fd >= 0 ? " written" : " missing"));
  if (fd < 0) return;
  std::string content(expected.size() + 1, '\0');
  const ssize_t got = ::read(fd, content.data(), content.size());
  ::close(fd);
  content.resize(got < 0 ? 0 : static_cast<size_t>(got));
  fuzz::check(content == expected, name + " differs from the model");
}

// Sequence files of earlier inputs that are still in the output folder: the
// next input rewrites those it numbers, and the others are removed after it.
size_t sequenceFilesLeft = 0;

std::string sequenceFile(size_t k) { return "sequence" + std::to_string(k) + ".fasta"; }

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
  const size_t written = e.sequenceFiles.size();
  for (size_t k = 1; k <= written; ++k) checkSideFile(sequenceFile(k), e.sequenceFiles[k - 1]);
  if (written >= sequenceFilesLeft) checkSideFile(sequenceFile(written + 1), "");
  for (size_t k = written + 1; k <= sequenceFilesLeft; ++k) {
    ::unlink((outDir + "/" + sequenceFile(k)).c_str());
  }
  sequenceFilesLeft = written;
  checkSideFile("All-sequences.fasta", e.collected);
  checkSideFile("r-sequences.fasta", e.repeats);
  // The collected files are appended to: they start empty for each input.
  ::unlink((outDir + "/All-sequences.fasta").c_str());
  ::unlink((outDir + "/r-sequences.fasta").c_str());
  return 0;
}
