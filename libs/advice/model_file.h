// What the model files (choice, gain and cost models) share: a file read
// whole and parsed, and the checked numbers of their JSON.
#ifndef ADVICE_MODEL_FILE_H
#define ADVICE_MODEL_FILE_H

#include <array>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

namespace advice {

// The finite number at key of object j; throws std::runtime_error naming the
// key otherwise (a missing key throws nlohmann's own error).
double finiteNumber(const nlohmann::json& j, const char* key);

// The whole number at key of object j, from 0 to INT_MAX; throws as
// finiteNumber otherwise (a fraction or a huge number is not a count).
int count(const nlohmann::json& j, const char* key);
// The same for value v itself, named what in the error.
int countValue(const nlohmann::json& v, const char* what);

// The N finite numbers of the array at key; throws as finiteNumber.
template <size_t N>
std::array<double, N> finiteNumbers(const nlohmann::json& j, const char* key) {
  const nlohmann::json& v = j.at(key);
  if (!v.is_array() || v.size() != N)
    throw std::runtime_error(std::string("\"") + key + "\" does not hold " + std::to_string(N) +
                             " numbers");
  std::array<double, N> out;
  for (size_t k = 0; k < N; ++k) {
    if (!v[k].is_number() || !std::isfinite(v[k].get<double>()))
      throw std::runtime_error(std::string("\"") + key + "\" holds a value that is not a number");
    out[k] = v[k].get<double>();
  }
  return out;
}

// Reads the file at path whole and parses it. False with "cannot read the
// WHAT 'PATH'" or "the WHAT 'PATH' is malformed: WHY" in *error.
bool readModelFile(const std::string& path, const char* what,
                   const std::function<bool(const std::string& text, std::string* why)>& parse,
                   std::string* error);

}  // namespace advice

#endif
