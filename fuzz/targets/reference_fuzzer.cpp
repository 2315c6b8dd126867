// The advisor's reference reader. The input is a data set, a NUL byte and a
// reference alignment (a fixed data set when there is no NUL). A reference
// taken must match each of its rows to a distinct record by name (exactly,
// or by the record's first word), hold that record's residues, and write a
// safe copy that reads back as the same rows under the safe names.
#include <map>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "runs/data_set.h"
#include "runs/reference.h"
#include "scoring/alignment.h"
#include "scoring/sequence_matching.h"

namespace {

const char kDataSet[] = ">a first\nACDEFGHIK\n>b\nLMNPQRSTV\n>c third\nWYACD\n";

std::string firstWord(const std::string& name) {
  const size_t begin = name.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  return name.substr(begin, name.find_first_of(" \t", begin) - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = fuzz::text(data, size);
  const size_t nul = input.find('\0');
  const std::string_view setText = nul == std::string_view::npos ? kDataSet : input.substr(0, nul);
  const std::string_view refText = nul == std::string_view::npos ? input : input.substr(nul + 1);
  const std::string setPath = fuzz::writeInput(reinterpret_cast<const uint8_t*>(setText.data()),
                                               setText.size(), "data-set.fasta");
  const std::string refPath = fuzz::writeInput(reinterpret_cast<const uint8_t*>(refText.data()),
                                               refText.size(), "reference");
  runs::DataSet set;
  std::string error;
  if (!runs::readDataSet(setPath, &set, &error)) return 0;
  runs::Reference reference;
  if (!runs::readReference(refPath, set, &reference, &error)) {
    fuzz::check(!error.empty() && error.find('\n') == std::string::npos, "error line");
    return 0;
  }
  scoring::Alignment parsed;
  fuzz::check(scoring::readAlignmentFile(refPath, &parsed, &error), "taken but unreadable");
  fuzz::check(reference.rows.size() >= 2 && reference.rows.size() == parsed.sequences.size() &&
                  reference.recordOf.size() == reference.rows.size(),
              "row count");
  std::map<std::string, int> words;
  for (const std::string& name : set.names) ++words[firstWord(name)];
  std::set<size_t> used;
  for (size_t i = 0; i < reference.rows.size(); ++i) {
    const size_t record = reference.recordOf[i];
    fuzz::check(record < set.size() && used.insert(record).second, "record of row");
    const std::string& name = parsed.sequences[i].name;
    fuzz::check(
        name == set.names[record] || (firstWord(set.names[record]) == name && words[name] == 1),
        "name match of row " + std::to_string(i));
    fuzz::check(scoring::sameResidues(reference.rows[i], set.residues[record]), "residues");
    fuzz::check(reference.rows[i].find('.') == std::string::npos, "gaps written as '-'");
  }
  const std::string copy = fuzz::scratchDir() + "/safe-reference.fasta";
  fuzz::check(runs::writeSafeReference(reference, copy, &error), "safe copy: " + error);
  scoring::Alignment back;
  fuzz::check(scoring::readAlignmentFile(copy, &back, &error), "safe copy read back: " + error);
  fuzz::check(back.sequences.size() == reference.rows.size(), "safe copy rows");
  for (size_t i = 0; i < back.sequences.size(); ++i) {
    fuzz::check(back.sequences[i].name == runs::safeName(reference.recordOf[i]), "safe name");
    fuzz::check(back.sequences[i].row == reference.rows[i], "safe row");
  }
  return 0;
}
