#include "advice/model_file.h"

#include <climits>
#include <cstdint>

#include "runs/file_input.h"

namespace advice {

double finiteNumber(const nlohmann::json& j, const char* key) {
  const nlohmann::json& v = j.at(key);
  if (!v.is_number() || !std::isfinite(v.get<double>()))
    throw std::runtime_error(std::string("\"") + key + "\" is not a finite number");
  return v.get<double>();
}

int count(const nlohmann::json& j, const char* key) { return countValue(j.at(key), key); }

int countValue(const nlohmann::json& v, const char* what) {
  const bool whole = v.is_number_unsigned() ||
                     (v.is_number_integer() && v.get<std::int64_t>() >= 0);
  if (!whole || v.get<std::uint64_t>() > static_cast<std::uint64_t>(INT_MAX))
    throw std::runtime_error(std::string("\"") + what + "\" is not a count");
  return static_cast<int>(v.get<std::uint64_t>());
}

bool readModelFile(const std::string& path, const char* what,
                   const std::function<bool(const std::string& text, std::string* why)>& parse,
                   std::string* error) {
  std::string text, why;
  if (!runs::readWholeFile(path, &text)) {
    *error = std::string("cannot read the ") + what + " '" + path + "'";
    return false;
  }
  if (!parse(text, &why)) {
    *error = std::string("the ") + what + " '" + path + "' is malformed: " + why;
    return false;
  }
  return true;
}

}  // namespace advice
