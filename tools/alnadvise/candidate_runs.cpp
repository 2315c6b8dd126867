#include "candidate_runs.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "alignment.h"
#include "getChar.h"

namespace alnadvise {

namespace {

void enterTools(const std::string& toolsFolder) {
  if (::chdir(toolsFolder.c_str()) != 0)
    throw std::runtime_error("cannot enter '" + toolsFolder + "': " + std::strerror(errno));
}

std::string formatResult(double a, double b, double elapsed) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%.17g %.17g %.17g", a, b, elapsed);
  return buffer;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool isStandardAminoAcid(char c) {
  return std::strchr("ACDEFGHIKLMNPQRSTVWY", upper(c)) != nullptr && c != '\0';
}

bool isGapCell(char c) { return c == '-' || c == '.'; }

}  // namespace

JobWork alignerJob(const std::string& toolsFolder, const std::string& input,
                   const std::string& reference, const Configuration& configuration,
                   int fileIndex) {
  return [=]() {
    enterTools(toolsFolder);
    RunnerResult r;
    runAligner(input, reference, configuration.kind, configuration.options, r.scoreA, r.scoreB,
               r.elapsed, fileIndex);
    return formatResult(r.scoreA, r.scoreB, r.elapsed);
  };
}

JobWork mergeJob(const std::string& toolsFolder, const std::string& input,
                 const std::string& reference) {
  return [=]() {
    enterTools(toolsFolder);
    RunnerResult r;
    mergeAlignments(input, reference, r.scoreA, r.scoreB, r.elapsed);
    return formatResult(r.scoreA, r.scoreB, r.elapsed);
  };
}

bool parseRunnerResult(const std::string& text, RunnerResult* out) {
  return std::sscanf(text.c_str(), "%lf %lf %lf", &out->scoreA, &out->scoreB, &out->elapsed) == 3;
}

bool validateAlignment(const std::string& path, const DataSet& data, std::vector<std::string>* rows,
                       std::string* why) {
  rows->assign(data.size(), std::string());
  alnscore::Alignment alignment;
  std::string error;
  if (::access(path.c_str(), F_OK) != 0) {
    *why = "no alignment written";
    return false;
  }
  if (!alnscore::readAlignmentFile(path, &alignment, &error)) {
    *why = error;
    return false;
  }
  std::unordered_map<std::string, size_t> index;
  for (size_t i = 0; i < data.size(); ++i) index.emplace(safeName(i), i);
  std::vector<bool> seen(data.size(), false);
  for (const alnscore::AlignedSequence& s : alignment.sequences) {
    auto it = index.find(s.name);
    if (it == index.end()) {
      *why = "unknown sequence name '" + s.name + "'";
      return false;
    }
    const size_t i = it->second;
    if (seen[i]) {
      *why = "sequence '" + s.name + "' appears twice";
      return false;
    }
    seen[i] = true;
    const std::string& original = data.residues[i];
    std::string& row = (*rows)[i];
    row.reserve(s.row.size());
    size_t k = 0;
    for (char c : s.row) {
      if (isGapCell(c)) {
        row += '-';
        continue;
      }
      if (k >= original.size() ||
          (upper(c) != upper(original[k]) && isStandardAminoAcid(original[k]))) {
        *why = "the residues of '" + s.name + "' differ from the input";
        return false;
      }
      row += original[k++];
    }
    if (k != original.size()) {
      *why = "sequence '" + s.name + "' lost residues";
      return false;
    }
  }
  for (size_t i = 0; i < data.size(); ++i) {
    if (!seen[i]) {
      *why = "sequence '" + safeName(i) + "' is missing";
      return false;
    }
  }
  return true;
}

double expectedCost(const Configuration& configuration, const DataSet& data) {
  const double n = static_cast<double>(data.size());
  const double length = data.meanLength();
  const bool consistency = configuration.options.find("pair") != std::string::npos ||
                           configuration.options.find("maxiterate") != std::string::npos;
  double weight = 1;
  switch (configuration.kind) {
    case DIALIGNTX:
      weight = 8 * length / 100;
      break;
    case CLUSTALW:
      weight = 2;
      break;
    case MUSCLE:
      weight = 1.5;
      break;
    case MAFFT:
      weight = consistency ? 4 * n / 10 : 1;
      break;
    case KALIGN:
      weight = 0.5;
      break;
    default:
      break;
  }
  return weight * n * n * length;
}

}  // namespace alnadvise
