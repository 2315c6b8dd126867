// What a candidate alignment looks like, without a reference, beside the
// other candidates of the same data set: the features the learnt choice
// (choice_model.h) weighs.
//
//   agreement      mean share of its aligned pairs that the others align too
//                  (scoring's agreementShare; the plain agreement)
//   reverse        mean share of the others' aligned pairs that it aligns
//   kindBalanced   agreement with every aligner counted once: the mean over
//                  the aligners present of its mean share with their
//                  candidates (so five MAFFT variants are one vote)
//   otherKinds     the same over the other aligners only (its own plain
//                  agreement when every candidate is of its aligner)
//   gapOpens       internal gap runs per residue (leading and trailing gaps
//                  are not counted: unrelated ends are common)
//   gapLength      mean length of those runs (0 without any)
//   gappedColumns  share of columns holding a gap
//   width          columns over the longest sequence's length
//   identity       mean identity of aligned residue pairs, over pairs of rows
//                  (every pair up to 40 rows, else each row with the next 20)
//   conservation   residues of the most common kind per column, over all
//                  residues of columns holding two or more
//
// Every feature is a number (never NaN): an undefined agreement falls back
// to 0, and the learnt model sees exactly these ten, in this order.
#ifndef ADVICE_CANDIDATE_FEATURES_H
#define ADVICE_CANDIDATE_FEATURES_H

#include <array>
#include <string>
#include <vector>

namespace advice {

enum Feature {
  kAgreement,
  kReverse,
  kKindBalanced,
  kOtherKinds,
  kGapOpens,
  kGapLength,
  kGappedColumns,
  kWidth,
  kIdentity,
  kConservation,
  kFeatureCount
};

extern const char* const kFeatureNames[kFeatureCount];

using FeatureVector = std::array<double, kFeatureCount>;

// The features of each candidate (rows per record, names[k] naming row k of
// each; kinds[i] the aligner of candidate i). False when fewer than two
// candidates are given, the sizes differ, or the rows of one do not form
// an alignment.
bool candidateFeatures(const std::vector<std::string>& names,
                       const std::vector<const std::vector<std::string>*>& rows,
                       const std::vector<int>& kinds, std::vector<FeatureVector>* features);
// The same with their agreement matrix already computed (share[i][j] of
// scoring::agreementMatrix over these rows).
bool candidateFeatures(const std::vector<const std::vector<std::string>*>& rows,
                       const std::vector<int>& kinds,
                       const std::vector<std::vector<double>>& share,
                       std::vector<FeatureVector>* features);

// The features that need one alignment only, for tests: gapOpens, gapLength,
// gappedColumns, width, identity and conservation (the others left 0).
FeatureVector alignmentShapeFeatures(const std::vector<std::string>& rows);

}  // namespace advice

#endif
