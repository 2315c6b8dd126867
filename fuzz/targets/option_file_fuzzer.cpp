// The option file: every row read must hold the fields of its line, and the
// max and min rows the bounds of all values, starting from 0. An input whose
// size is a multiple of 4 is read into a table that already holds 245 rows,
// so that short inputs reach its capacity of 250.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "getChar.h"

namespace {

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

std::vector<std::string> fields(std::string_view line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == ';') {
      out.emplace_back();
    } else {
      out.back().push_back(c);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceLibraryMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, "options.txt");
  OF = t_OF();
  const int filled = size % 4 == 0 ? kFeatureRows - 5 : 0;
  OF.n = filled;
  const int added = readOptionFile(path.data());

  // Lines of 13 fields or more, up to the capacity of the table.
  std::vector<std::vector<std::string>> rows;
  for (std::string_view line : fuzz::splitLines(fuzz::text(data, size))) {
    std::vector<std::string> f = fields(line);
    if (f.size() >= 13 && rows.size() < static_cast<size_t>(kFeatureRows - filled)) {
      rows.push_back(f);
    }
  }
  fuzz::check(added == static_cast<int>(rows.size()) && OF.n == filled + added, "rows added");
  double max[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, min[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (size_t r = 0; r < rows.size(); ++r) {
    const t_DataSet& row = OF.rows[filled + r];
    const std::vector<std::string>& f = rows[r];
    fuzz::check(row.name == f[0] && row.options == f[12],
                "name or options of row " + std::to_string(r));
    fuzz::check(row.label == static_cast<int>(std::strtol(f[11].c_str(), nullptr, 10)), "label");
    for (int k = 0; k < 10; ++k) {
      const double value = std::strtod(f[k + 1].c_str(), nullptr);
      fuzz::check(same(row.feature[k], value), "feature of row " + std::to_string(r));
      if (value > max[k]) max[k] = value;
      if (value < min[k]) min[k] = value;
    }
  }
  for (int k = 0; k < 10; ++k) {
    fuzz::check(same(OF.max.feature[k], max[k]) && same(OF.min.feature[k], min[k]), "bounds");
  }
  return 0;
}
