// Scoring large alignments on a sample of their rows.
//
// Agreement and the other choice features of a family of 100,000 sequences
// are estimated on the same random rows of every candidate (the rows drawn
// once per data set, seeded, so that a run repeats): each candidate's
// sample keeps those rows in record order, without the columns that are
// gaps in all of them, so that it is the alignment those sequences would
// have had. Pairs of sequences are then drawn uniformly, and each share is
// a ratio of counts over those pairs.
#ifndef ADVICE_ROW_SAMPLE_H
#define ADVICE_ROW_SAMPLE_H

#include <cstddef>
#include <string>
#include <vector>

namespace advice {

// Above this many records candidates are scored on this many rows.
const size_t kScoredRows = 2000;

// `count` distinct indices below `records`, increasing; all of them when
// records <= count.
std::vector<size_t> sampleRows(size_t records, size_t count, unsigned seed);

// The rows of `which`, in that order, without the columns that are gaps in
// all of them.
std::vector<std::string> sampledAlignment(const std::vector<std::string>& rows,
                                          const std::vector<size_t>& which);

}  // namespace advice

#endif
