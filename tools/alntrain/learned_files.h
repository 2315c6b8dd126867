// What a search leaves for the advisor: the reference table (each data
// set's best configuration) and the front (the non-dominated
// configurations), as the text the library's readers take.
#ifndef ALNTRAIN_LEARNED_FILES_H
#define ALNTRAIN_LEARNED_FILES_H

#include <string>
#include <vector>

#include "runs/configuration.h"
#include "training/benchmark_set.h"
#include "training/run_cache.h"
#include "training/search.h"

namespace alntrain {

struct TableLine {
  std::string name;
  double features[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  training::RunRecord best;
};

// For each of the sets named by index, its best valid run among the
// configurations: highest Q + TC, then fewer seconds, then kind and options
// order. A set without a valid run gets no line (a warning names it).
std::vector<TableLine> bestPerDataSet(const std::vector<training::BenchmarkSet>& sets,
                                      const std::vector<size_t>& which,
                                      const training::RunCache& cache,
                                      const std::vector<training::Individual>& evaluated,
                                      std::vector<std::string>* warnings);

// name;f0;...;f9;label;options lines (option file).
std::string formatReferenceTable(const std::vector<TableLine>& lines);

// The individuals without failures that no other one dominates, at most
// kMaxFrontLines (the most crowded dropped first), most accurate first.
const size_t kMaxFrontLines = 200;
std::vector<training::Individual> paretoFront(const std::vector<training::Individual>& evaluated,
                                              std::vector<std::string>* warnings);

// The front reader does not count a MUSCLE (kind 4) line: the next line
// reuses its entry, so every MUSCLE line but the last of the file is lost
// to it. MUSCLE lines therefore go last, and the one that is most accurate,
// best in Q + TC or fastest of the whole file goes last of all. When two
// different MUSCLE lines would hold such roles, the ones of lesser roles
// (in the order most accurate, best Q + TC, fastest) are left out, so that
// the reader's iBest0, iBestSum and iBest2 always name the right lines. One
// warning counts the lines left out.
std::vector<training::Individual> frontFileOrder(std::vector<training::Individual> front,
                                                 std::vector<std::string>* warnings);

// 1-Q;1-TC;seconds;kind;options lines (front file).
std::string formatFront(const std::vector<training::Individual>& front);

}  // namespace alntrain

#endif
