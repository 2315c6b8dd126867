// The one place where the programs read and write the core's global tables
// (OF, FRONT and the selection globals beside them): a data set's features,
// its nearest references in a reference table, the front's picks, and the
// candidates they propose. Each call starts the tables afresh, so nothing
// of one data set leaks into the next.
#ifndef ADVICE_CORE_TABLES_H
#define ADVICE_CORE_TABLES_H

#include <string>
#include <vector>

#include "advice/candidates.h"

namespace advice {

// The ten raw features of the FASTA file at path (extractFeatures2 over
// emptied tables). False when the core cannot read it.
bool extractDataSetFeatures(const std::string& path, double features[10]);

// The table's nearest references of a data set with these raw features
// (readOptionFile, normalizeData, getNearestReference, setOptions), ranked;
// each keeps its raw features. Rows naming an aligner kind outside 0-8 are
// skipped with a warning, as is a table that cannot be read.
void selectFromTable(const double features[10], const std::string& tablePath,
                     std::vector<NearestReference>* nearest, std::vector<std::string>* warnings);

// The front's most accurate, best Q + TC and fastest entries (readFront,
// with the aligners left out switched off) among the allowed aligners.
void selectFromFront(const std::string& frontPath, const std::vector<int>& aligners,
                     std::vector<FrontPick>* picks, std::vector<std::string>* warnings);

// The whole front that selectFromFront read (FRONT), for the report's front
// plot: the entries of the allowed aligners in file order, then any pick not
// among them (role empty in both; the picks keep their roles in their list).
void listFrontEntries(const std::vector<int>& aligners, const std::vector<FrontPick>& picks,
                      std::vector<FrontPick>* entries);

// What the table and the front propose for one data set.
struct Proposal {
  std::vector<NearestReference> nearest;
  std::vector<FrontPick> front;        // the picks that become candidates
  std::vector<FrontPick> frontPoints;  // the whole front, for the report's plot
  std::vector<Candidate> candidates;   // assembleCandidates over all of it
  std::vector<std::string> warnings;
};

// The advice's candidates for a data set of `sequences` records with these
// raw features: the same steps for alnadvise and the cross-validation.
Proposal proposeCandidates(const double features[10], int sequences, const std::string& tablePath,
                           const std::string& frontPath, const std::vector<int>& aligners);

}  // namespace advice

#endif
