// getChar: multiple sequence alignment toolkit for protein data sets.
//
// One header for the whole library: every shared type, global table and
// operation is declared here at global scope, so a caller includes this file
// and links libgetChar.a.
#ifndef GETCHAR_H
#define GETCHAR_H

#include <string>

// ---------------------------------------------------------------------------
// Types

// One row of the feature table: a data set and its ten features.
struct t_DataSet {
  std::string name;
  double feature[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  int label = 0;
  std::string options;
};

// The feature table: input data set in row 0, reference data sets after it.
struct t_OF {
  t_DataSet rows[250];
  int n = 0;
  t_DataSet max;
  t_DataSet min;
};

// One candidate aligner configuration of a front file.
struct t_FrontEntry {
  double objective[3] = {0, 0, 0};
  int alignerKind = 0;
  std::string options;
};

struct t_Front {
  t_FrontEntry entry[250];
  int n = 0;
  int iBest2 = 0;
  int iBest0 = 0;
  int iBest1 = 0;
  int iBestSum = 0;
};

// One alignment result; valueA + valueB is the primary sort key, valueC the
// secondary one.
struct t_Alignments {
  double valueA = 0;
  double valueB = 0;
  double valueC = 0;
  std::string textA;
  std::string textB;
};

// Aligner kinds, in the order of the usage text.
enum { CLUSTALW = 0, DIALIGNTX = 1, KALIGN = 2, MAFFT = 3, MUSCLE = 4 };

// Capacities of the global tables.
const int kFeatureRows = 250;
const int kFrontEntries = 250;
const int kAlignmentRecords = 10;

// ---------------------------------------------------------------------------
// Global state

extern t_OF OF;
extern t_Front FRONT;
extern std::string aligner;
extern t_Alignments alignments[10];
extern std::string dir;

extern int NC;
extern int nSequencesInput;
extern int noMAFFT, noKALIGN, noMUSCLE;
extern int opt[3];
extern double distA, distB, distC;
extern int iA, iB, iC, iD;
extern int time_, pid_;

extern double seed;
extern int jrand;
extern double oldrand[55];

// ---------------------------------------------------------------------------
// Entry (src/getChar)

// The whole command line behaviour of the getChar executable; never returns.
int getCharMain(int argc, char** argv);
// Prints row 0 of OF: name, then ";" and each of the ten features.
void printExtracted();

// ---------------------------------------------------------------------------
// Data set features (src/features)

int extractFeatures(char* path);
enum class SplitOutcome { kRead, kCannotOpen, kReadFailed, kOwnSideFile };
SplitOutcome splitDataSet(const char* path);
const int kOwnSideFileStatus = 4;
void featuresSequence(std::string sequence, int index, double& sumLength, double& sumSquares,
                      int& maxLength, int& minLength, int& maxIndex, int& minIndex,
                      double* groupCounts);
int extractFeatures2(char* path);

// ---------------------------------------------------------------------------
// Sequence comparison (src/compare)

double levenshtein(const std::string& a, const std::string& b);
double uiLevenshteinDistance(const char* a, const char* b, double& similarity);
int weightNW(std::string a, std::string b, int i, int j);
double NeedlemanWunsch(std::string a, std::string b);

// ---------------------------------------------------------------------------
// Reference selection (src/selection)

int readOptionFile(char* path);
void printOptionFile();
void normalizeData();
void getNearestReference();
void euclideanDistance(int x, int y, double& a, double& b, double& c);
void chebyshevDistance(int x, int y, double& a, double& b, double& c);
void manhattanDistance(int x, int y, double& a, double& b, double& c);
void cosineSimilarity(int x, int y, double& a, double& b, double& c);
void cosineSimilarity(int x, int y, double& all);
void setOptions();
int readFront(std::string path);

// ---------------------------------------------------------------------------
// Aligner execution (src/aligners)

std::string exec(std::string command);
void execAligner(std::string command, double& elapsed);
void runAligner(std::string inputFile, std::string referenceFile, int alignerKind,
                std::string alignerOptions, double& scoreA, double& scoreB, double& elapsed,
                int fileIndex);
void mergeAlignments(std::string inputFile, std::string referenceFile, double& scoreA,
                     double& scoreB, double& elapsed);
int compareMyType(const void* a, const void* b);

// ---------------------------------------------------------------------------
// Random numbers (src/random)

void randomize();
void warmup_random(double random_seed);
void advance_random();
double randomperc();
int rnd(int low, int high);
double rndreal(double low, double high);

#endif  // GETCHAR_H
