#include "runs/configuration.h"

#include "runs/aligner_names.h"

namespace runs {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string Configuration::label() const {
  return std::string(alignerName(kind)) + (options.empty() ? " (defaults)" : " " + options);
}

std::string normaliseOptions(const std::string& options) {
  std::string out;
  bool pendingBlank = false;
  for (char c : options) {
    if (isBlank(c)) {
      pendingBlank = !out.empty();
      continue;
    }
    if (pendingBlank) out += ' ';
    pendingBlank = false;
    out += c;
  }
  return out;
}

Configuration makeConfiguration(int kind, const std::string& options) {
  Configuration c;
  c.kind = kind;
  c.options = normaliseOptions(options);
  return c;
}

}  // namespace runs
