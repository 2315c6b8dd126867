#include "training/benchmark_set.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "advice/core_tables.h"
#include "runs/file_input.h"
#include "training/content_hash.h"

namespace training {

namespace {

namespace fs = std::filesystem;

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool readBytes(const std::string& path, std::string* bytes, std::string* error) {
  if (runs::readWholeFile(path, bytes)) return true;
  *error = "cannot read '" + path + "'";
  return false;
}

struct Pair {
  std::string fasta;
  std::vector<std::string> references;
};

std::string folderError(const std::string& folder, const std::error_code& ec) {
  return "cannot read the benchmark folder '" + folder + "': " + ec.message();
}

// The folder's files by data set name: NAME.fasta and its references.
bool findPairs(const std::string& folder, std::map<std::string, Pair>* pairs, std::string* error) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) {
    *error = folderError(folder, ec);
    return false;
  }
  for (; it != end; it.increment(ec)) {
    if (ec) {
      *error = folderError(folder, ec);
      return false;
    }
    const std::string file = it->path().filename().string();
    if (!it->is_regular_file(ec)) continue;
    if (endsWith(file, ".ref.fasta")) {
      (*pairs)[file.substr(0, file.size() - 10)].references.push_back(file);
    } else if (endsWith(file, ".msf")) {
      (*pairs)[file.substr(0, file.size() - 4)].references.push_back(file);
    } else if (endsWith(file, ".fasta")) {
      (*pairs)[file.substr(0, file.size() - 6)].fasta = file;
    }
  }
  return true;
}

// One pair with a data set and at least one reference, read and keyed.
bool readPair(const std::string& folder, const std::string& name, Pair pair, BenchmarkSet* set,
              std::string* error) {
  if (pair.references.size() > 1) {
    std::sort(pair.references.begin(), pair.references.end());
    *error = "data set '" + name + "' has two references (" + pair.references[0] + " and " +
             pair.references[1] + "); keep one";
    return false;
  }
  if (name.empty() || name.find_first_of(";\t\r\n") != std::string::npos) {
    *error = "data set name '" + name + "' (in '" + folder +
             "') is empty or holds ';', a tab or a line end; rename the files";
    return false;
  }
  set->name = name;
  set->fastaPath = folder + "/" + pair.fasta;
  set->referencePath = folder + "/" + pair.references[0];
  std::string why;
  if (!runs::readDataSet(set->fastaPath, &set->data, &why)) {
    *error = "data set '" + set->fastaPath + "': " + why;
    return false;
  }
  if (!runs::readReference(set->referencePath, set->data, &set->reference, &why)) {
    *error = "data set '" + name + "': " + why;
    return false;
  }
  std::string dataBytes, referenceBytes;
  if (!readBytes(set->fastaPath, &dataBytes, error) ||
      !readBytes(set->referencePath, &referenceBytes, error))
    return false;
  set->hash = dataSetHash(dataBytes, referenceBytes);
  return true;
}

}  // namespace

bool readBenchmark(const std::string& folder, std::vector<BenchmarkSet>* sets,
                   std::vector<std::string>* warnings, std::string* error) {
  sets->clear();
  std::map<std::string, Pair> pairs;
  if (!findPairs(folder, &pairs, error)) return false;
  for (const auto& [name, pair] : pairs) {
    if (pair.fasta.empty()) {
      warnings->push_back("'" + folder + "/" + pair.references[0] +
                          "' has no data set NAME.fasta beside it; left out");
      continue;
    }
    if (pair.references.empty()) {
      warnings->push_back("'" + folder + "/" + pair.fasta +
                          "' has no reference (NAME.ref.fasta or NAME.msf); left out");
      continue;
    }
    BenchmarkSet set;
    if (!readPair(folder, name, pair, &set, error)) return false;
    sets->push_back(std::move(set));
  }
  if (sets->empty()) {
    *error = "the benchmark folder '" + folder +
             "' holds no pair NAME.fasta with NAME.ref.fasta or NAME.msf";
    return false;
  }
  return true;
}

bool prepareRunCopies(std::vector<BenchmarkSet>* sets, const std::string& folder,
                      std::string* error) {
  for (size_t i = 0; i < sets->size(); ++i) {
    BenchmarkSet& set = (*sets)[i];
    const std::string base = folder + "/d" + std::to_string(i + 1);
    set.safeInput = base + ".fasta";
    set.safeReference = base + ".ref.fasta";
    if (!runs::writeSafeCopy(set.data, set.safeInput, error) ||
        !runs::writeSafeReference(set.reference, set.safeReference, error))
      return false;
    if (!advice::extractDataSetFeatures(set.safeInput, set.features)) {
      *error = "cannot compute the features of '" + set.fastaPath + "'";
      return false;
    }
  }
  return true;
}

}  // namespace training
