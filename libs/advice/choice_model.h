// A learnt choice without a reference. Each valid candidate of a data set
// gets reference-free features; its score is
//   plain agreement + reverse * reverse agreement + gaps * gap excess
//                   + width * width excess
// where reverse agreement is the mean share of the other candidates'
// aligned pairs that it aligns too, gap excess its share of gap cells minus
// the candidates' mean, and width excess its columns over the candidates'
// mean, minus 1. All weights zero is plain agreement. The training fits the
// weights (alntrain's choice_fit.h).
#ifndef ADVICE_CHOICE_MODEL_H
#define ADVICE_CHOICE_MODEL_H

#include <string>
#include <vector>

namespace advice {

struct CandidateFeatures {
  double plain = 0, reverse = 0, gapExcess = 0, widthExcess = 0;
};

struct ChoiceModel {
  double reverse = 0, gaps = 0, width = 0;
  std::string describe() const;
};

// The features of each candidate alignment (rows per record, same names).
// The agreements are means over the pairs whose share is defined, as in
// scoreAgreement. False when fewer than two candidates are given or the
// rows of one do not form an alignment.
bool candidateFeatures(const std::vector<std::string>& names,
                       const std::vector<const std::vector<std::string>*>& rows,
                       std::vector<CandidateFeatures>* features);

double choiceScore(const ChoiceModel& model, const CandidateFeatures& features);

// The index of the best-scored candidate (the first on ties).
size_t chooseCandidate(const ChoiceModel& model, const std::vector<CandidateFeatures>& candidates);

}  // namespace advice

#endif
