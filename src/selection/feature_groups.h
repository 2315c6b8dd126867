// The three feature groups that the distance measures work on: A is features
// 0-2 (sequence count and length statistics), B features 3-4, C features 5-9
// (residue groups).
#ifndef GETCHAR_SELECTION_FEATURE_GROUPS_H
#define GETCHAR_SELECTION_FEATURE_GROUPS_H

struct FeatureGroup {
  int first;  // index of the first feature of the group
  int end;    // one past the last feature
};

const FeatureGroup kFeatureGroups[3] = {{0, 3}, {3, 5}, {5, 10}};

// Square root of the sum, in ascending feature index, of the squared
// differences of two feature vectors over one group.
double groupEuclidean(const double* x, const double* y, const FeatureGroup& g);

#endif
