// A learnt choice without a reference, tried against plain agreement in the
// cross-validation. Each valid candidate of a data set gets reference-free
// features; its score is
//   plain agreement + reverse * reverse agreement + gaps * gap excess
//                   + width * width excess
// where reverse agreement is the mean share of the other candidates'
// aligned pairs that it aligns too, gap excess its share of gap cells minus
// the candidates' mean, and width excess its columns over the candidates'
// mean, minus 1. The weights come from a small grid, fitted to the mean Q
// of the chosen candidate on training data sets; all zero is plain agreement.
#ifndef ALNTRAIN_CHOICE_MODEL_H
#define ALNTRAIN_CHOICE_MODEL_H

#include <string>
#include <vector>

namespace alntrain {

struct CandidateFeatures {
  double plain = 0, reverse = 0, gapExcess = 0, widthExcess = 0;
};

// One data set: its valid candidates' features and Q.
struct ChoiceExample {
  std::vector<CandidateFeatures> candidates;
  std::vector<double> q;
};

struct ChoiceModel {
  double reverse = 0, gaps = 0, width = 0;
  std::string describe() const;
};

// The features of each candidate alignment (rows per record, same names);
// false when fewer than two candidates can be compared.
bool candidateFeatures(const std::vector<std::string>& names,
                       const std::vector<const std::vector<std::string>*>& rows,
                       std::vector<CandidateFeatures>* features);

// The index of the best-scored candidate (the first on ties).
size_t chooseCandidate(const ChoiceModel& model, const std::vector<CandidateFeatures>& candidates);

// The grid weights whose choice has the highest mean Q over the examples;
// plain agreement unless a model beats it by more than 0.002.
ChoiceModel fitChoiceModel(const std::vector<ChoiceExample>& examples);

double meanChosenQ(const ChoiceModel& model, const std::vector<ChoiceExample>& examples);

}  // namespace alntrain

#endif
