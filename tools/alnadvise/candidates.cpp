#include "candidates.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "aligner_names.h"
#include "getChar.h"

namespace alnadvise {

const std::vector<BaselineConfiguration> kStrongBaseline = {
    {MAFFT, "--localpair --maxiterate 1000", "consistency: L-INS-i", 200},
    {MAFFT, "--globalpair --maxiterate 1000", "consistency: G-INS-i", 200},
    {MAFFT, "--genafpair --maxiterate 1000", "consistency: E-INS-i", 200},
};

namespace {

// The nearest-reference search leaves this distance where it picked nothing.
const double kNoPick = 9999999.0;

bool allowed(const std::vector<int>& aligners, int kind) {
  return std::find(aligners.begin(), aligners.end(), kind) != aligners.end();
}

void add(std::vector<Candidate>* list, const std::vector<int>& aligners,
         const Configuration& configuration, const std::string& reason) {
  if (!allowed(aligners, configuration.kind)) return;
  for (Candidate& c : *list) {
    if (c.configuration == configuration) {
      c.reasons.push_back(reason);
      return;
    }
  }
  Candidate c;
  c.id = static_cast<int>(list->size()) + 1;
  c.configuration = configuration;
  c.reasons.push_back(reason);
  list->push_back(c);
}

bool validKind(int kind) { return kind >= 0 && kind < kAlignerKinds; }

}  // namespace

std::vector<Candidate> assembleCandidates(const CandidateSources& sources) {
  std::vector<Candidate> list;
  for (int kind = 0; kind < kAlignerKinds; ++kind)
    add(&list, sources.aligners, makeConfiguration(kind, ""), "default");
  for (const BaselineConfiguration& b : kStrongBaseline) {
    if (sources.sequences <= b.maxSequences)
      add(&list, sources.aligners, makeConfiguration(b.kind, b.options), b.reason);
  }
  for (const NearestReference& r : sources.nearest) {
    add(&list, sources.aligners, r.configuration,
        "nearest reference " + r.name + " (rank " + std::to_string(r.rank) + ")");
  }
  for (const FrontPick& p : sources.front)
    add(&list, sources.aligners, p.configuration, "front: " + p.role);
  return list;
}

void selectFromTable(const std::string& tablePath, std::vector<NearestReference>* nearest,
                     std::vector<std::string>* warnings) {
  nearest->clear();
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
      warnings->push_back("reference table row '" + r.name + "': aligner kind " +
                          std::to_string(r.label) + " is not 0-4; skipped");
      continue;
    }
    NearestReference n;
    n.rank = j + 1;
    n.name = r.name;
    std::copy(r.feature, r.feature + 10, n.features);
    n.configuration = makeConfiguration(r.label, r.options);
    n.distance = distance;
    nearest->push_back(n);
  }
}

void selectFromFront(const std::string& frontPath, const std::vector<int>& aligners,
                     std::vector<FrontPick>* picks, std::vector<std::string>* warnings) {
  picks->clear();
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
      warnings->push_back("front entry " + std::to_string(b.index + 1) + ": aligner kind " +
                          std::to_string(e.alignerKind) + " is not 0-4; skipped");
      continue;
    }
    if (!allowed(aligners, e.alignerKind)) continue;
    FrontPick p;
    p.role = b.role;
    std::copy(e.objective, e.objective + 3, p.objectives);
    p.configuration = makeConfiguration(e.alignerKind, e.options);
    picks->push_back(p);
  }
}

}  // namespace alnadvise
