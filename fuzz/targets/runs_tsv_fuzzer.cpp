// The training's runs.tsv: each line the reader takes must write back as a
// line that reads as the same run, and opening a file that starts with the
// header must keep exactly its whole lines (a torn last line cut away) and
// know each run the lines name, the later line winning.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "training/genome.h"
#include "training/run_cache.h"

namespace {

// The status as a line holds it: tabs and line ends become blanks.
std::string written(std::string status) {
  for (char& c : status)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return status;
}

bool same(const training::RunRecord& a, const training::RunRecord& b) {
  return a.hash == b.hash && a.configuration == b.configuration &&
         written(a.status) == written(b.status) &&
         (!a.valid() || (std::abs(a.q - b.q) < 1e-5 && std::abs(a.tc - b.tc) < 1e-5));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silenceLibraryMessages();
  const std::string body(fuzz::text(data, size));
  std::map<std::string, training::RunRecord> expected;
  const std::vector<std::string_view> lines = fuzz::splitLines(body);
  const bool torn = !body.empty() && body.back() != '\n';
  for (size_t i = 0; i < lines.size(); ++i) {
    if (torn && i + 1 == lines.size()) break;
    training::RunRecord r;
    std::string why;
    if (!training::parseRunLine(std::string(lines[i]), &r, &why)) continue;
    training::RunRecord back;
    const std::string line = training::formatRunLine(r);
    fuzz::check(!line.empty() && line.back() == '\n', "a written line ends with a line feed");
    fuzz::check(training::parseRunLine(line.substr(0, line.size() - 1), &back, &why),
                "a written line does not read back: " + why);
    fuzz::check(same(r, back), "a written line reads back as another run");
    expected[r.hash + "\t" + training::configurationKey(r.configuration)] = r;
  }

  const std::string text = std::string(training::kRunsHeader) + "\n" + body;
  const std::string path =
      fuzz::writeInput(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "runs.tsv");
  std::vector<std::string> warnings;
  std::string error;
  {
    training::RunCache cache;
    fuzz::check(cache.open(path, true, &warnings, &error), "open: " + error);
    fuzz::check(cache.size() == expected.size(), "runs known");
    for (const auto& [key, r] : expected) {
      const training::RunRecord* found = cache.find(r.hash, r.configuration);
      fuzz::check(found && same(*found, r), "the later line of a run wins");
    }
  }
  std::string kept;
  fuzz::check(fuzz::readFile(path, &kept), "read back");
  const size_t whole = text.rfind('\n') + 1;
  fuzz::check(kept == text.substr(0, whole), "whole lines kept, the torn one cut");
  return 0;
}
