// Writes an alignment (any format alnscore reads) as FOLDER/best.fasta and
// best.{aln,sto,phy,msf} with best.names.tsv, the way alnadvise writes them,
// and prints the median seconds of REPEATS writes of each (text made and
// file renamed in place) and its size.
//   write_formats ALIGNMENT FOLDER [REPEATS]   (default 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alnadvise/alignment_outputs.h"
#include "runs/file_output.h"
#include "scoring/alignment.h"
#include "scoring/alignment_formats.h"

namespace {

double medianOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: write_formats ALIGNMENT FOLDER [REPEATS]\n");
    return 2;
  }
  const std::string folder = argv[2];
  const int repeats = argc == 4 ? std::max(1, std::atoi(argv[3])) : 5;
  scoring::Alignment alignment;
  std::string error;
  if (!scoring::readAlignmentFile(argv[1], &alignment, &error)) {
    std::fprintf(stderr, "write_formats: %s\n", error.c_str());
    return 1;
  }
  std::vector<std::string> names, rows;
  for (const scoring::AlignedSequence& s : alignment.sequences) {
    names.push_back(s.name);
    rows.emplace_back(s.row);
  }
  std::printf("%zu rows, %zu columns\nformat\tfile\tbytes\tmedian_s\n", rows.size(),
              alignment.columns());
  struct Output {
    const char* name;
    std::string file;
    bool fasta;
    scoring::TextFormat format;
  };
  std::vector<Output> outputs = {{"fasta", "best.fasta", true, scoring::TextFormat::kClustal}};
  for (scoring::TextFormat f : scoring::textFormats())
    outputs.push_back(
        {scoring::formatName(f), std::string("best") + scoring::formatExtension(f), false, f});
  for (const Output& o : outputs) {
    std::vector<double> seconds;
    size_t bytes = 0;
    for (int i = 0; i < repeats; ++i) {
      const auto start = std::chrono::steady_clock::now();
      const std::string text = o.fasta ? runs::alignedFasta(names, rows)
                                       : scoring::formatAlignment(o.format, names, rows);
      if (!runs::writeFileAtomically(folder + "/" + o.file, text, &error)) {
        std::fprintf(stderr, "write_formats: %s\n", error.c_str());
        return 1;
      }
      seconds.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      bytes = text.size();
    }
    std::printf("%s\t%s\t%zu\t%.4f\n", o.name, o.file.c_str(), bytes, medianOf(seconds));
  }
  // best.phy's names are made safe for tree programs; the map leads back.
  if (!runs::writeFileAtomically(folder + "/" + alnadvise::kPhylipNameMap,
                                 alnadvise::phylipNameMap(names), &error)) {
    std::fprintf(stderr, "write_formats: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
