// Lists of configurations, for evaluating a given set instead of searching
// (alntrain --configurations) and for handing the option space out to
// other machines (alntrain --list-configurations).
//
// A list file holds one configuration a line: "ALIGNER<TAB>options" (any
// spelling alnadvise's --aligners takes; options may be empty), or a front
// file's line "obj0;obj1;obj2;kind;options" (kind 0-4), so a front can be
// evaluated again. Blank lines and lines starting with '#' are skipped; a
// configuration listed twice counts once. Options texts are held to the
// option space's rules (no quotes, shell operators, ';', '#' or tabs).
#ifndef TRAINING_CONFIGURATION_LIST_H
#define TRAINING_CONFIGURATION_LIST_H

#include <string>
#include <vector>

#include "runs/configuration.h"
#include "training/option_space.h"

namespace training {

// Fails with the file and line in *error; an empty list fails too.
bool readConfigurationList(const std::string& path, std::vector<runs::Configuration>* list,
                           std::string* error);

// "ALIGNER<TAB>options\n" per configuration.
std::string formatConfigurationList(const std::vector<runs::Configuration>& list);

// Every configuration of the space for the kinds (each kind's genes at all
// their alleles, kinds in the given order, the default first), or, with
// sample > 0, the kinds' defaults and then distinct random ones (drawn with
// the library's generator as the search draws its first population; seed
// it first) up to sample in all. Fails when the whole space would exceed
// kMaxListed configurations (then sample it).
const long kMaxListed = 1000000;
bool listConfigurations(const OptionSpace& space, const std::vector<int>& kinds, long sample,
                        std::vector<runs::Configuration>* list, std::string* error);

}  // namespace training

#endif
