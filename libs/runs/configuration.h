// One aligner configuration: an aligner kind and its options text.
#ifndef RUNS_CONFIGURATION_H
#define RUNS_CONFIGURATION_H

#include <string>

namespace runs {

struct Configuration {
  int kind = 0;         // CLUSTALW ... MUSCLE
  std::string options;  // normalised: see normaliseOptions

  // "MAFFT --localpair", or "MAFFT (defaults)" without options.
  std::string label() const;
  // Two configurations are the same run when kind and options are equal.
  bool operator==(const Configuration& other) const {
    return kind == other.kind && options == other.options;
  }
};

// Blanks (spaces, tabs, carriage returns, line feeds) collapsed to one space,
// none at either end: "  --op  1.0 " and "--op 1.0" are one configuration.
std::string normaliseOptions(const std::string& options);

Configuration makeConfiguration(int kind, const std::string& options);

}  // namespace runs

#endif
