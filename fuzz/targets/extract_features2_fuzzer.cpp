// The streaming feature extraction: the row that extractFeatures2 adds to
// the feature table must equal the one computed from the records split out
// plainly, with the residue groups counted letter by letter (the library
// counts them with vector instructions where the processor has them).
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "getChar.h"

namespace {

struct Record {
  uint64_t length = 0;
  uint64_t groups[5] = {0, 0, 0, 0, 0};
};

// Records of the streaming rules: an empty line or one starting with '>'
// opens a record, named only if the line is longer than ">"; a sequence line
// extends a named record, and one with a blank empties and unnames it. Lines
// before the first record are ignored.
std::vector<Record> model(std::string_view data) {
  std::vector<Record> records;
  bool named = false;
  for (std::string_view line : fuzz::splitLines(data)) {
    if (line.empty() || line[0] == '>') {
      records.emplace_back();
      named = line.size() > 1;
    } else if (!named) {
      continue;
    } else if (line.find(' ') != std::string_view::npos) {
      records.back() = Record();
      named = false;
    } else {
      records.back().length += line.size();
      for (char c : line) {
        const int g = fuzz::residueGroup(c);
        if (g < 5) ++records.back().groups[g];
      }
    }
  }
  return records;
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceLibraryMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, "data.fa");
  OF.n = 0;
  nSequencesInput = 0;
  const int result = extractFeatures2(path.data());

  const std::vector<Record> records = model(fuzz::text(data, size));
  if (records.empty()) {
    fuzz::check(result == -1 && OF.n == 0, "a data set without records added a row");
    return 0;
  }
  fuzz::check(result == 0 && OF.n == 1, "no row added");
  fuzz::check(nSequencesInput == static_cast<int>(records.size()), "nSequencesInput");
  // Sums in record order, as the library adds them.
  double sumLength = 0, sumSquares = 0, groups[5] = {0, 0, 0, 0, 0};
  for (const Record& r : records) {
    const double length = static_cast<double>(r.length);
    sumLength += length;
    sumSquares += length * length;
    for (int g = 0; g < 5; ++g) groups[g] += static_cast<double>(r.groups[g]);
  }
  const double n = static_cast<double>(records.size());
  const double mean = sumLength / n;
  const double expected[10] = {n,
                               mean,
                               std::sqrt(sumSquares / n - mean * mean),
                               0,
                               0,
                               groups[0] / n,
                               groups[1] / n,
                               groups[2] / n,
                               groups[3] / n,
                               groups[4] / n};
  const t_DataSet& row = OF.rows[0];
  for (int k = 0; k < 10; ++k) {
    fuzz::check(same(row.feature[k], expected[k]), "feature " + std::to_string(k));
    fuzz::check(same(OF.max.feature[k], expected[k]) && same(OF.min.feature[k], expected[k]),
                "max and min rows of feature " + std::to_string(k));
  }
  fuzz::check(row.name == "data.fa" && row.options.empty(), "name and options of the row");
  return 0;
}
