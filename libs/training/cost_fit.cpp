#include "training/cost_fit.h"

#include <cmath>
#include <sstream>

#include "runs/file_input.h"
#include "runs/text_format.h"

namespace training {

namespace {

const char kTimingsHeader[] = "data_set\tfamily\tsequences\tlength\tseconds\tQ";

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) out.push_back(field);
  return out;
}

bool number(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(*value);
}

}  // namespace

std::vector<advice::TimedRun> timedRuns(const std::vector<BenchmarkSet>& sets,
                                        const RunCache& cache) {
  std::vector<advice::TimedRun> out;
  for (const BenchmarkSet& s : sets) {
    const int n = static_cast<int>(s.data.size());
    const double length = s.data.meanLength();
    for (const RunRecord* r : cache.runsOf(s.hash)) {
      if (!r->valid()) continue;
      advice::TimedRun t;
      t.family =
          advice::costFamily(r->configuration, n, length, static_cast<double>(s.data.longest()));
      t.dataSet = s.name;
      t.sequences = n;
      t.meanLength = length;
      t.seconds = r->seconds;
      t.hasQ = true;
      t.q = r->q;
      out.push_back(t);
    }
  }
  return out;
}

std::string formatTimings(const std::vector<advice::TimedRun>& runs) {
  std::string out = std::string(kTimingsHeader) + "\n";
  for (const advice::TimedRun& r : runs)
    out += r.dataSet + "\t" + r.family + "\t" + std::to_string(r.sequences) + "\t" +
           runs::fixed(r.meanLength, 1) + "\t" + runs::fixed(r.seconds, 4) + "\t" +
           (r.hasQ ? runs::fixed(r.q, 4) : std::string("NA")) + "\n";
  return out;
}

bool readTimings(const std::string& path, std::vector<advice::TimedRun>* runs, std::string* error) {
  std::string text;
  if (!runs::readWholeFile(path, &text)) {
    *error = "cannot read the timings '" + path + "'";
    return false;
  }
  std::istringstream in(text);
  std::string line;
  int number_ = 0;
  while (std::getline(in, line)) {
    ++number_;
    if (number_ == 1) {
      if (line != kTimingsHeader) {
        *error = "'" + path + "' does not start with the timings header";
        return false;
      }
      continue;
    }
    const std::vector<std::string> f = fields(line);
    advice::TimedRun r;
    double sequences = 0;
    const bool ok = f.size() == 6 && !f[0].empty() && !f[1].empty() && number(f[2], &sequences) &&
                    sequences >= 1 && number(f[3], &r.meanLength) && number(f[4], &r.seconds) &&
                    r.seconds >= 0 && (f[5] == "NA" || number(f[5], &r.q));
    if (!ok) {
      *error = "'" + path + "' line " + std::to_string(number_) + " is not a timing";
      return false;
    }
    r.dataSet = f[0];
    r.family = f[1];
    r.sequences = static_cast<int>(sequences);
    r.hasQ = f[5] != "NA";
    runs->push_back(r);
  }
  if (in.bad()) {
    *error = "cannot read the timings '" + path + "'";
    return false;
  }
  return true;
}

}  // namespace training
