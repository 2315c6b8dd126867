#include "training/configuration_list.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "runs/aligner_names.h"
#include "training/genome.h"

namespace training {

namespace {

bool parseLine(const std::string& line, runs::Configuration* c, std::string* why) {
  const size_t tab = line.find('\t');
  int kind = 0;
  std::string options;
  if (tab != std::string::npos) {
    if (!runs::parseAlignerName(line.substr(0, tab), &kind)) {
      *why = "unknown aligner '" + line.substr(0, tab) + "'";
      return false;
    }
    options = line.substr(tab + 1);
  } else {
    // A front line: three objectives, the kind, the options.
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; fields.size() < 4 && std::getline(in, f, ';');) fields.push_back(f);
    std::getline(in, options);
    if (fields.size() != 4 || fields[3].size() != 1 || fields[3][0] < '0' || fields[3][0] > '4') {
      *why = "neither 'ALIGNER<TAB>options' nor a front line 'obj0;obj1;obj2;kind;options'";
      return false;
    }
    kind = fields[3][0] - '0';
  }
  std::string bad;
  if (!safeOptionText(options, &bad)) {
    *why = "options '" + options + "' hold " + (bad == "\t" ? "a tab" : "'" + bad + "'") +
           ", which is not allowed";
    return false;
  }
  *c = runs::makeConfiguration(kind, options);
  return true;
}

}  // namespace

bool readConfigurationList(const std::string& path, std::vector<runs::Configuration>* list,
                           std::string* error) {
  list->clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read the configurations '" + path + "'";
    return false;
  }
  std::set<std::string> seen;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
    runs::Configuration c;
    std::string why;
    if (!parseLine(line, &c, &why)) {
      *error = "'" + path + "' line " + std::to_string(number) + ": " + why;
      return false;
    }
    if (seen.insert(configurationKey(c)).second) list->push_back(c);
  }
  if (in.bad()) {
    *error = "cannot read the configurations '" + path + "'";
    return false;
  }
  if (list->empty()) {
    *error = "no configuration in '" + path + "'";
    return false;
  }
  return true;
}

std::string formatConfigurationList(const std::vector<runs::Configuration>& list) {
  std::string out;
  for (const runs::Configuration& c : list)
    out += std::string(runs::alignerName(c.kind)) + "\t" + c.options + "\n";
  return out;
}

bool listConfigurations(const OptionSpace& space, const std::vector<int>& kinds, long sample,
                        std::vector<runs::Configuration>* list, std::string* error) {
  list->clear();
  long total = 0;
  for (int kind : kinds) {
    long count = 1;
    for (const Gene& g : space.genes(kind)) count = std::min(count * g.alleles(), kMaxListed + 1);
    total = std::min(total + count, kMaxListed + 1);
  }
  std::set<std::string> seen;
  auto add = [&](const Genome& g) {
    const runs::Configuration c = configurationOf(space, g);
    if (seen.insert(configurationKey(c)).second) list->push_back(c);
  };
  if (sample > 0 && sample < total) {
    for (int kind : kinds)
      if (static_cast<long>(list->size()) < sample) add(defaultGenome(space, kind));
    while (static_cast<long>(list->size()) < sample) add(randomGenome(space, kinds));
    return true;
  }
  if (total > kMaxListed) {
    *error = "the option space holds more than " + std::to_string(kMaxListed) +
             " configurations; list a sample of them (--sample N)";
    return false;
  }
  for (int kind : kinds) {
    // Counts through every allele of the kind's genes, the first gene
    // fastest, starting from the defaults.
    const std::vector<Gene>& genes = space.genes(kind);
    Genome g = defaultGenome(space, kind);
    const size_t offset = static_cast<size_t>(space.offset(kind));
    std::vector<int> step(genes.size(), 0);
    for (;;) {
      for (size_t i = 0; i < genes.size(); ++i)
        g.alleles[offset + i] = (genes[i].defaultAllele + step[i]) % genes[i].alleles();
      add(g);
      size_t i = 0;
      while (i < genes.size() && ++step[i] == genes[i].alleles()) step[i++] = 0;
      if (i == genes.size()) break;
    }
  }
  return true;
}

}  // namespace training
