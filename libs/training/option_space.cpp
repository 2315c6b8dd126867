#include "training/option_space.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "runs/aligner_names.h"
#include "runs/configuration.h"
#include "runs/file_input.h"

namespace training {

namespace {

using nlohmann::json;

// Characters that would reach the shell or break the tables.
const char kRefused[] = ";|&$<>`'\"\\(){}*?!#~\t\r\n[]";

bool failWith(std::string* error, const std::string& where, const std::string& what) {
  *error = "option space: " + where + ": " + what;
  return false;
}

bool checkText(const std::string& text, const std::string& where, std::string* error) {
  const size_t bad = text.find_first_of(kRefused, 0, sizeof kRefused - 1);
  if (bad != std::string::npos) {
    return failWith(error, where,
                    "option text '" + text + "' holds '" + text[bad] + "', which is not allowed");
  }
  return true;
}

bool numericValues(const json& g, const std::string& where, std::vector<double>* values,
                   std::string* error) {
  if (g.contains("values")) {
    if (!g["values"].is_array() || g["values"].empty())
      return failWith(error, where, "\"values\" must be a list of numbers");
    for (const json& v : g["values"]) {
      if (!v.is_number()) return failWith(error, where, "\"values\" must be a list of numbers");
      values->push_back(v.get<double>());
    }
    return true;
  }
  if (!g.contains("min") || !g.contains("max") || !g.contains("step") || !g["min"].is_number() ||
      !g["max"].is_number() || !g["step"].is_number())
    return failWith(error, where, "a numeric gene needs \"values\" or \"min\", \"max\", \"step\"");
  const double min = g["min"], max = g["max"], step = g["step"];
  if (!(step > 0) || !(min <= max) || (max - min) / step > 1000)
    return failWith(error, where, "\"min\", \"max\", \"step\" give no usable range");
  for (int i = 0; min + i * step <= max + step * 1e-9; ++i) values->push_back(min + i * step);
  return true;
}

bool parseGene(const json& g, const std::string& aligner, Gene* gene, std::string* error) {
  if (!g.is_object() || !g.contains("name") || !g["name"].is_string())
    return failWith(error, aligner, "every gene needs a \"name\"");
  gene->name = g["name"];
  const std::string where = aligner + " gene '" + gene->name + "'";
  if (g.contains("option")) {
    if (!g["option"].is_string()) return failWith(error, where, "\"option\" must be text");
    const std::string option = g["option"];
    const std::string separator = g.contains("separator") && g["separator"].is_string()
                                      ? g["separator"].get<std::string>()
                                      : " ";
    std::vector<double> values;
    if (!numericValues(g, where, &values, error)) return false;
    const bool hasDefault = g.contains("default");
    if (hasDefault && !g["default"].is_number())
      return failWith(error, where, "\"default\" must be a number");
    if (hasDefault) values.push_back(g["default"].get<double>());
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end(),
                             [](double a, double b) {
                               return formatOptionNumber(a) == formatOptionNumber(b);
                             }),
                 values.end());
    if (!hasDefault) gene->texts.push_back("");
    gene->firstNumeric = static_cast<int>(gene->texts.size());
    for (double v : values) {
      const bool isDefault =
          hasDefault && formatOptionNumber(v) == formatOptionNumber(g["default"].get<double>());
      if (isDefault) gene->defaultAllele = static_cast<int>(gene->texts.size());
      gene->texts.push_back(
          isDefault ? "" : runs::normaliseOptions(option + separator + formatOptionNumber(v)));
    }
  } else {
    if (!g.contains("values") || !g["values"].is_array())
      return failWith(error, where, "a categorical gene needs a list of texts in \"values\"");
    int defaults = 0;
    for (const json& v : g["values"]) {
      if (!v.is_string()) return failWith(error, where, "\"values\" must all be texts");
      const std::string text = runs::normaliseOptions(v.get<std::string>());
      if (text.empty()) {
        gene->defaultAllele = static_cast<int>(gene->texts.size());
        ++defaults;
      }
      gene->texts.push_back(text);
    }
    if (defaults != 1)
      return failWith(error, where, "exactly one value must be \"\" (the program's default)");
  }
  if (gene->texts.size() < 2) return failWith(error, where, "needs at least two values");
  for (size_t i = 0; i < gene->texts.size(); ++i) {
    if (!checkText(gene->texts[i], where, error)) return false;
    for (size_t j = 0; j < i; ++j)
      if (gene->texts[i] == gene->texts[j])
        return failWith(error, where, "the value '" + gene->texts[i] + "' appears twice");
  }
  return true;
}

}  // namespace

bool safeOptionText(const std::string& text, std::string* bad) {
  const size_t at = text.find_first_of(kRefused, 0, sizeof kRefused - 1);
  if (at == std::string::npos) return true;
  *bad = text.substr(at, 1);
  return false;
}

std::string formatOptionNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text = buffer;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

int OptionSpace::nonDefaultValues() const {
  int count = 0;
  for (const auto& genes : genes_)
    for (const Gene& g : genes) count += g.alleles() - 1;
  return count;
}

bool parseOptionSpace(const std::string& text, OptionSpace* out, std::string* error) {
  *out = OptionSpace();
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::exception& e) {
    *error = std::string("option space: not JSON: ") + e.what();
    return false;
  }
  if (!doc.is_object() || !doc.contains("aligners") || !doc["aligners"].is_array())
    return failWith(error, "top level", "needs a list \"aligners\"");
  bool seen[runs::kAlignerKinds] = {};
  for (const json& a : doc["aligners"]) {
    int kind = 0;
    if (!a.is_object() || !a.contains("aligner") || !a["aligner"].is_string() ||
        !runs::parseAlignerName(a["aligner"].get<std::string>(), &kind))
      return failWith(error, "aligners", "every entry needs a known \"aligner\" name");
    const std::string name = runs::alignerName(kind);
    if (seen[kind]) return failWith(error, name, "listed twice");
    seen[kind] = true;
    if (!a.contains("genes") || !a["genes"].is_array())
      return failWith(error, name, "needs a list \"genes\"");
    for (const json& g : a["genes"]) {
      Gene gene;
      if (!parseGene(g, name, &gene, error)) return false;
      out->genes_[kind].push_back(gene);
    }
  }
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    // The five classic aligners must be listed; a space written before the
    // other families existed searches those at their defaults only.
    if (!seen[kind] && kind < runs::kClassicAligners)
      return failWith(error, runs::alignerName(kind), "missing");
    out->offsets_[kind + 1] = out->offsets_[kind] + static_cast<int>(out->genes_[kind].size());
  }
  return true;
}

bool loadOptionSpace(const std::string& path, OptionSpace* out, std::string* error) {
  std::string text;
  if (!runs::readWholeFile(path, &text)) {
    *error = "cannot read the option space '" + path + "'";
    return false;
  }
  if (!parseOptionSpace(text, out, error)) {
    *error = "'" + path + "': " + *error;
    return false;
  }
  return true;
}

}  // namespace training
