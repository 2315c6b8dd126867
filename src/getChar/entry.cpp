// The two command-line modes and the report line.
#include <iostream>
#include <string>

#include "getChar.h"
#include "getChar/base_name.h"
#include "getChar/selection_steps.h"
#include "getChar/standard_output.h"

namespace {

void printUsage(const char* program) {
  std::cout << "** ERROR, try with " << program << " <DataSet> <optionFile> <aligner>" << std::endl;
  // The last line has no line end; the exit flushes it.
  std::cout << "     <aligner>: CLUSTALW, DIALIGNTX, KALIGN, MAFFT, or MUSCLE";
}

#ifndef GETCHAR_VERSION
#define GETCHAR_VERSION "unknown"
#endif

// --help and --version, in the form help2man reads (the man page is made
// from them).
void printHelp() {
  std::cout << "Usage: getChar <DataSet> <optionFile>\n"
               "  or:  getChar <DataSet> <aligner> <dir>\n"
               "Extracts the ten features of a protein FASTA data set and prints them on one\n"
               "line (name;sequences;meanLength;lengthSD;f3;f4;RHK;DE;STNQ;CUGP;AVILMFYW).\n"
               "\n"
               "With an option file, then picks the aligner configuration of the nearest\n"
               "reference data set. With an aligner and a folder, writes the data set's side\n"
               "files under that folder for the aligner\n"
               "(CLUSTALW, DIALIGNTX, KALIGN, MAFFT, or MUSCLE).\n"
               "\n"
               "Options:\n"
               "  --help     print this help and exit\n"
               "  --version  print the version and exit\n";
}

}  // namespace

void printExtracted() {
  const t_DataSet& row = OF.rows[0];
  std::cout << row.name;
  for (int k = 0; k < 10; ++k) std::cout << ';' << row.feature[k];
  std::cout << std::endl;
}

int getCharMain(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    printHelp();
    exitChecked(0);
  }
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "getChar " GETCHAR_VERSION << std::endl;
    exitChecked(0);
  }
  if (argc == 4) {
    // Set before the extraction: it writes its side files under dir.
    aligner = argv[2];
    dir = argv[3];
    extractFeatures(argv[1]);
    OF.rows[0].name = baseName(argv[1]);
    printExtracted();
    std::cout << std::endl << std::endl;
    exitChecked(0);
  }
  if (argc == 3) {
    extractFeatures(argv[1]);
    OF.rows[0].name = baseName(argv[1]);
    printExtracted();
    runSelectionSteps(argv[2]);
    exitChecked(0);
  }
  // argv[0] can be missing when the program is started with no arguments at all.
  printUsage(argc > 0 && argv[0] ? argv[0] : "");
  exitChecked(1);
}
