#include "alignment_outputs.h"

#include <algorithm>

#include "runs/file_output.h"

namespace alnadvise {

using scoring::TextFormat;

bool parseOutputFormats(const std::string& list, std::vector<TextFormat>* formats,
                        std::string* error) {
  formats->clear();
  size_t start = 0;
  while (true) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string name = list.substr(start, comma - start);
    TextFormat format;
    if (name == "fasta") {
      // Always written.
    } else if (scoring::formatByName(name, &format)) {
      if (std::find(formats->begin(), formats->end(), format) == formats->end())
        formats->push_back(format);
    } else {
      *error =
          (name.empty() ? std::string("an empty format name") : "unknown format '" + name + "'") +
          "; the formats are fasta, clustal, stockholm, phylip and msf";
      return false;
    }
    if (comma == list.size()) return true;
    start = comma + 1;
  }
}

std::string bestFileName(TextFormat format) {
  return std::string("best") + scoring::formatExtension(format);
}

bool writeBestFormats(const std::vector<TextFormat>& formats, const std::string& folder,
                      const std::vector<std::string>& names, const std::vector<std::string>& rows,
                      std::string* error) {
  for (TextFormat format : formats) {
    if (!runs::writeFileAtomically(folder + "/" + bestFileName(format),
                                   scoring::formatAlignment(format, names, rows), error))
      return false;
  }
  return true;
}

}  // namespace alnadvise
