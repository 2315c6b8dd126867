#include "advice/core_tables.h"

#include <algorithm>
#include <vector>

#include "getChar.h"
#include "runs/aligner_names.h"

namespace advice {

namespace {

// The nearest-reference search leaves this distance where it picked nothing.
const double kNoPick = 9999999.0;

bool allowed(const std::vector<int>& aligners, int kind) {
  return std::find(aligners.begin(), aligners.end(), kind) != aligners.end();
}

bool validKind(int kind) { return kind >= 0 && kind < runs::kAlignerKinds; }

std::string notAKind(int kind) {
  return "aligner kind " + std::to_string(kind) + " is not 0-" +
         std::to_string(runs::kAlignerKinds - 1) + "; skipped";
}

// Row 0 of the feature table as the core's own extraction leaves it.
void useDataSetRow(const double features[10]) {
  OF = t_OF();
  std::copy(features, features + 10, OF.rows[0].feature);
  std::copy(features, features + 10, OF.max.feature);
  std::copy(features, features + 10, OF.min.feature);
  OF.n = 1;
}

}  // namespace

bool extractDataSetFeatures(const std::string& path, double features[10]) {
  OF = t_OF();
  FRONT = t_Front();
  std::vector<char> text(path.begin(), path.end());
  text.push_back('\0');
  if (extractFeatures2(text.data()) != 0 || OF.n < 1) return false;
  std::copy(OF.rows[0].feature, OF.rows[0].feature + 10, features);
  return true;
}

void selectFromTable(const double features[10], const std::string& tablePath,
                     std::vector<NearestReference>* nearest, std::vector<std::string>* warnings) {
  nearest->clear();
  useDataSetRow(features);
  const int first = OF.n;  // 1: row 0 is the data set
  std::vector<char> path(tablePath.begin(), tablePath.end());
  path.push_back('\0');
  if (readOptionFile(path.data()) < 0) {
    warnings->push_back("cannot read the reference table '" + tablePath + "'");
    return;
  }
  // Normalisation rewrites the rows in place: keep the raw ones for the report.
  std::vector<t_DataSet> raw(OF.rows, OF.rows + std::min(OF.n, kFeatureRows));
  normalizeData();
  getNearestReference();
  setOptions();
  for (int j = 0; j < 3; ++j) {
    const int row = opt[j];
    if (row < first || row >= OF.n) continue;
    double distance = kNoPick;
    if (row == iA)
      distance = distA;
    else if (row == iB)
      distance = distB;
    else if (row == iC)
      distance = distC;
    if (!(distance < kNoPick)) continue;  // a group that picked nothing, or NaN
    const t_DataSet& r = raw[static_cast<size_t>(row)];
    if (!validKind(r.label)) {
      warnings->push_back("reference table row '" + r.name + "': " + notAKind(r.label));
      continue;
    }
    NearestReference n;
    n.rank = j + 1;
    n.name = r.name;
    std::copy(r.feature, r.feature + 10, n.features);
    n.configuration = runs::makeConfiguration(r.label, r.options);
    n.distance = distance;
    nearest->push_back(n);
  }
}

void selectFromFront(const std::string& frontPath, const std::vector<int>& aligners,
                     std::vector<FrontPick>* picks, std::vector<std::string>* warnings) {
  picks->clear();
  FRONT = t_Front();  // readFront keeps best indices that no entry sets
  noMAFFT = allowed(aligners, MAFFT) ? 0 : 1;
  noKALIGN = allowed(aligners, KALIGN) ? 0 : 1;
  noMUSCLE = allowed(aligners, MUSCLE) ? 0 : 1;
  if (readFront(frontPath) < 0) {
    warnings->push_back("cannot read the front '" + frontPath + "'");
    return;
  }
  if (FRONT.iBest2 == -1) return;  // no entry kept
  const struct {
    int index;
    const char* role;
  } best[3] = {
      {FRONT.iBest0, "most accurate"}, {FRONT.iBestSum, "best Q + TC"}, {FRONT.iBest2, "fastest"}};
  for (const auto& b : best) {
    // A MUSCLE entry is stored at index n without advancing n.
    if (b.index < 0 || b.index > FRONT.n || b.index >= kFrontEntries) continue;
    const t_FrontEntry& e = FRONT.entry[b.index];
    if (!validKind(e.alignerKind)) {
      warnings->push_back("front entry " + std::to_string(b.index + 1) + ": " +
                          notAKind(e.alignerKind));
      continue;
    }
    if (!allowed(aligners, e.alignerKind)) continue;
    FrontPick p;
    p.role = b.role;
    std::copy(e.objective, e.objective + 3, p.objectives);
    p.configuration = runs::makeConfiguration(e.alignerKind, e.options);
    picks->push_back(p);
  }
}

void listFrontEntries(const std::vector<int>& aligners, const std::vector<FrontPick>& picks,
                      std::vector<FrontPick>* entries) {
  entries->clear();
  auto addEntry = [&](const double* objectives, const runs::Configuration& configuration) {
    for (const FrontPick& e : *entries)
      if (e.configuration == configuration) return;
    FrontPick e;
    std::copy(objectives, objectives + 3, e.objectives);
    e.configuration = configuration;
    entries->push_back(e);
  };
  for (int i = 0; i < std::min(FRONT.n, kFrontEntries); ++i) {
    const t_FrontEntry& e = FRONT.entry[i];
    if (validKind(e.alignerKind) && allowed(aligners, e.alignerKind))
      addEntry(e.objective, runs::makeConfiguration(e.alignerKind, e.options));
  }
  for (const FrontPick& p : picks) addEntry(p.objectives, p.configuration);
}

Proposal proposeCandidates(const double features[10], int sequences, const std::string& tablePath,
                           const std::string& frontPath, const std::vector<int>& aligners) {
  Proposal p;
  selectFromTable(features, tablePath, &p.nearest, &p.warnings);
  selectFromFront(frontPath, aligners, &p.front, &p.warnings);
  listFrontEntries(aligners, p.front, &p.frontPoints);
  CandidateSources sources;
  sources.sequences = sequences;
  sources.aligners = aligners;
  sources.nearest = p.nearest;
  sources.front = p.front;
  p.candidates = assembleCandidates(sources);
  return p;
}

}  // namespace advice
