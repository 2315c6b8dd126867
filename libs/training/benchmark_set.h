// The benchmark folder: pairs NAME.fasta (unaligned) with NAME.ref.fasta or
// NAME.msf (its reference alignment). Each data set is read and checked by
// the advisor's readers, keyed by the hash of both files' contents, and
// copied under safe names into the run folder for the runner.
#ifndef TRAINING_BENCHMARK_SET_H
#define TRAINING_BENCHMARK_SET_H

#include <string>
#include <vector>

#include "runs/data_set.h"
#include "runs/reference.h"

namespace training {

struct BenchmarkSet {
  std::string name;  // NAME
  std::string fastaPath, referencePath;
  std::string hash;  // dataSetHash of the two files
  runs::DataSet data;
  runs::Reference reference;
  // Filled by prepareRunCopies:
  std::string safeInput, safeReference;                  // paths in the run folder
  double features[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // extractFeatures2, raw
};

// Finds and reads every pair, sorted by name. Fails (one line in *error) on
// a folder that cannot be read, no pair at all, a name holding ';', a tab or
// a line end, a data set with two references, and any data set or
// reference the advisor's readers refuse (the message names the file). A
// data set without a reference, or a reference without a data set, is a
// warning and left out.
bool readBenchmark(const std::string& folder, std::vector<BenchmarkSet>* sets,
                   std::vector<std::string>* warnings, std::string* error);

// Writes each set's safe copies as <folder>/d<i>.fasta and d<i>.ref.fasta and
// computes its features from the copy, as the advisor does for a user's
// data set.
bool prepareRunCopies(std::vector<BenchmarkSet>* sets, const std::string& folder,
                      std::string* error);

}  // namespace training

#endif
