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

const char* const kPhylipNameMap = "best.names.tsv";

std::string phylipNameMap(const std::vector<std::string>& headers) {
  const std::vector<std::string> names = scoring::formatRowNames(TextFormat::kPhylip, headers);
  std::string text = "name\theader\n";
  for (size_t i = 0; i < names.size(); ++i) {
    std::string header = headers[i];
    std::replace_if(header.begin(), header.end(),
                    [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    text += names[i] + "\t" + header + "\n";
  }
  return text;
}

bool writeBestFormats(const std::vector<TextFormat>& formats, const std::string& folder,
                      const std::vector<std::string>& names, const std::vector<std::string>& rows,
                      const advice::Confidence& confidence, std::string* error) {
  for (TextFormat format : formats) {
    std::string text = scoring::formatAlignment(format, names, rows);
    if (format == TextFormat::kStockholm && confidence.known &&
        !scoring::formatStockholmWithConfidence(names, rows, confidence.columns,
                                                confidence.residues, &text, error))
      return false;
    if (!runs::writeFileAtomically(folder + "/" + bestFileName(format), text, error))
      return false;
  }
  if (std::find(formats.begin(), formats.end(), TextFormat::kPhylip) != formats.end())
    return runs::writeFileAtomically(folder + "/" + kPhylipNameMap, phylipNameMap(names), error);
  return true;
}

}  // namespace alnadvise
