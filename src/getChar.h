// getChar: multiple sequence alignment toolkit for protein data sets.
//
// One header for the whole library: every shared type, global table and
// operation is declared here at global scope, so a caller includes this file
// and links libgetChar.a (CMake target getCharLib).
//
// Operations meet through global tables (OF, FRONT, ...), not through
// arguments: a caller sets or reads the globals that a contract below names.
// The library is single-threaded; no operation locks anything. Its own code
// throws no exception of its own and catches none: a standard library
// exception (out of memory, std::out_of_range of weightNW) ends the process
// unless the caller catches it.
//
// Example: pick aligner options for a data set from reference data sets.
//   char dataSet[] = "family.fasta", references[] = "options.txt";
//   extractFeatures2(dataSet);    // row 0 of OF: the data set's ten features
//   readOptionFile(references);   // rows 1...: the references, bounds widened
//   normalizeData();              // every row rescaled to the bounds
//   getNearestReference();        // iA, iB, iC: nearest row per feature group
//   setOptions();                 // opt[0..2]: those rows, nearest first
//   const std::string& options = OF.rows[opt[0]].options;
// and run an aligner with them, scored against a reference alignment:
//   pid_ = getpid(); time_ = 1; mkdir("/tmp/fasta<pid_><time_>", 0700);
//   double q, tc, micros;
//   runAligner("family.fasta", "family.msf", MAFFT, options, q, tc, micros, 1);
//
// Conventions shared by the contracts:
// - "Default number format": a double as an output stream writes it by
//   default, at most six significant digits (0.5, 1.23457e+06, 1.2e-05).
// - "Error opening": the line "Error opening '<path>'. Bailing out." on
//   standard error, with the path as the caller passed it.
// - Text tables (option file, front file): lines end at a line feed, a last
//   line without one is read too; fields are cut at every ';' (adjacent
//   separators give empty fields; nothing trimmed, quoted or escaped, so a
//   carriage return stays in the last field); a number is the longest prefix
//   that strtod / strtol accept, 0 when there is none.
// - Strings are bytes; lengths count bytes.
#ifndef GETCHAR_H
#define GETCHAR_H

#include <string>

// ---------------------------------------------------------------------------
// Types

// One row of the feature table: a data set and its ten features. Features
// 0-2 form group A (sequence count, mean and deviation of the lengths),
// 3-4 group B (held at 0 by the extraction), 5-9 group C (mean counts of the
// five residue groups).
struct t_DataSet {
  std::string name;
  double feature[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  int label = 0;
  std::string options;  // aligner options that suit the data set
};

// The feature table: rows 0 to n - 1 in use (the input data set is row 0
// once extracted); max and min hold per-feature bounds for normalizeData.
struct t_OF {
  t_DataSet rows[250];
  int n = 0;
  t_DataSet max;
  t_DataSet min;
};

// One candidate aligner configuration of a front file.
struct t_FrontEntry {
  double objective[3] = {0, 0, 0};
  int alignerKind = 0;  // CLUSTALW ... MUSCLE
  std::string options;
};

// The front table, filled by readFront: entries 0 to n - 1, and the entries
// with the best objectives (see readFront).
struct t_Front {
  t_FrontEntry entry[250];
  int n = 0;
  int iBest2 = 0;
  int iBest0 = 0;
  int iBest1 = 0;
  int iBestSum = 0;
};

// One alignment result, ordered by compareMyType: valueA + valueB is the
// primary key, valueC the secondary one.
struct t_Alignments {
  double valueA = 0;
  double valueB = 0;
  double valueC = 0;
  std::string textA;
  std::string textB;
};

// Aligner kinds, in the order of the usage text; 5 and up are the aligners
// of other method families, run only by the programs built on the library.
enum { CLUSTALW = 0, DIALIGNTX = 1, KALIGN = 2, MAFFT = 3, MUSCLE = 4 };
enum { PROBCONS = 5, CLUSTALO = 6, MUSCLE5 = 7, PROBALIGN = 8 };

// Capacities of the global tables.
const int kFeatureRows = 250;
const int kFrontEntries = 250;
const int kAlignmentRecords = 10;

// ---------------------------------------------------------------------------
// Global state. Every number starts at 0 except seed (237.0); every string
// starts empty.

extern t_OF OF;                      // feature table
extern t_Front FRONT;                // front table
extern std::string aligner;          // aligner name of the four-argument mode
extern t_Alignments alignments[10];  // for callers; no operation uses it
extern std::string dir;              // output folder of the side files

extern int NC;                           // residues of every record closed by splitDataSet
extern int nSequencesInput;              // records of the last extractFeatures2; read by runAligner
extern int noMAFFT, noKALIGN, noMUSCLE;  // 1 switches the aligner off in readFront
extern int opt[3];                       // ranked nearest rows, by setOptions
extern double distA, distB, distC;       // nearest distances per feature group
extern int iA, iB, iC, iD;               // nearest rows per group (iD: 1, never read)
extern int time_, pid_;                  // name the run folder of the aligners

extern double seed;  // of the random generator; set it in [0, 1) before randomize()
extern int jrand;
extern double oldrand[55];

// ---------------------------------------------------------------------------
// Entry (src/getChar)

// The whole getChar command line; never returns. Ends the process with:
// - argc 4 (data set, aligner, folder): sets aligner and dir, then
//   extractFeatures. When it returns (the data set cannot be opened or
//   read): names row 0 of OF after the base name of the data set (the text
//   after the last '/'), printExtracted(), two empty lines, status 0.
// - argc 3 (data set, option file): extractFeatures with dir as it is (empty
//   at program start: no side files); when it returns, names row 0 and
//   prints it as above, then
//   readOptionFile, normalizeData and getNearestReference, printing nothing
//   more; status 0.
// - argc 2 with --help or --version: the help or "getChar <version>" on
//   standard output; status 0.
// - any other argc: the usage message on standard output (its last line has
//   no line end); status 1.
// The extraction itself ends the run with status 1 after the last record, or
// 4 when the data set is one of the run's own side files. Whenever output to
// standard output was lost (a full disk, /dev/full, a closed descriptor), the
// status is 3 instead, after one line on standard error ("Error: cannot write
// standard output...").
int getCharMain(int argc, char** argv);

// Prints row 0 of OF on standard output: its name, then ';' and each of its
// ten features in the default number format, and a line end. Reads nothing
// else, changes nothing.
void printExtracted();

// ---------------------------------------------------------------------------
// Data set features (src/features)

// The outcome of splitDataSet.
enum class SplitOutcome { kRead, kCannotOpen, kReadFailed, kOwnSideFile };

// Reads the FASTA data set at `path` record by record, drops every record
// whose sequence repeats an earlier one, writes each distinct record to a
// side file of its own under the global `dir` and prints its residue-group
// counts. Returns instead of ending the process: extractFeatures is the
// command-line form.
//
// Lines end at a line feed (a carriage return stays part of the line); a
// last line without one is read too. A regular file is read only up to the
// size it had when it was opened; a pipe to its end.
// - An empty line or one starting with '>' opens a record named by the rest
//   of the line (an empty name for "" or ">"), closing the record before it.
// - Another line is appended to the open record's sequence when the record
//   has a name, and ignored otherwise. A line holding a blank (0x20)
//   discards the record: its name and sequence become empty, so it closes as
//   a nameless record with an empty sequence.
// - When the first line is not one that opens a record, the whole data set
//   is ignored: nothing is written or printed.
// - At each close (next opening line, or the end), NC grows by the sequence
//   length (wrapping modulo 2^32). A sequence seen before appends the line
//   ">name;>first name with that sequence" to dir/r-sequences.fasta.
//   A new one, the k-th (k = 1, 2, ...):
//     writes dir/sequence<k>.fasta (replacing it) as ">name\nsequence\n";
//     appends ">" + dir + "/sequence<k>.fasta\nsequence\n" to
//       dir/All-sequences.fasta;
//     prints its five residue-group counts (R H K; D E; S T N Q; C U G P;
//       A V I L M F Y W; upper case only) on standard output, separated by
//       ',', in the default number format, e.g. "3,2,0,0,0".
// Side files: the two collected files are opened at their first entry, held
// open in append mode for the rest of the call (created if missing, never
// truncated) and closed at the end; every entry goes out with one write, so
// it is on disk, whole and in order, as soon as it is written. An entry is
// whole or not at all: after a failed or short write a collected file is cut
// back to its size before the entry and a sequence file that was not written
// whole is removed, with "Warning: cannot write '<dir>/<name>'; entry
// skipped." on standard error; the run goes on and the count line is still
// printed. An empty `dir` writes no side files at all (they would go to
// "/"). Count lines are written straight to descriptor 1 (std::cout and
// stdout are flushed first); a failed write is remembered and reported only
// by the exit of getCharMain / extractFeatures (status 3).
//
// Memory: the distinct sequences and their first names; records are not
// limited in number.
//
// Returns:
// - kRead: the whole data set was read.
// - kCannotOpen: "Error opening" on standard error; nothing else done.
// - kReadFailed: a read failed (a folder, an I/O error): "Error opening" on
//   standard error; the records closed before it are written, the open one
//   is not.
// - kOwnSideFile: `dir` is not empty and the data set is the same file (same
//   device and inode, through any path or link) as dir/All-sequences.fasta,
//   dir/r-sequences.fasta or a dir/sequence<k>.fasta, which the run would
//   cut off or grow while reading it. Nothing written; one line on standard
//   error: "Error: the data set '<path>' is the side file '<dir>/<name>' of
//   this run; nothing written." The sequence files are found by listing
//   `dir`; a folder that cannot be listed is checked for the data set's own
//   base name only.
SplitOutcome splitDataSet(const char* path);

// Exit status of a run whose data set is one of its own side files.
const int kOwnSideFileStatus = 4;

// splitDataSet, then: after kRead ends the process with status 1, after
// kOwnSideFile with kOwnSideFileStatus (either becomes 3 when standard output
// was lost, see getCharMain). Returns -1 when the data set cannot be opened
// or read. Writes nothing into OF.
int extractFeatures(char* path);

// Adds the statistics of one sequence to running totals that the caller owns
// and initialises: sumLength += L and sumSquares += L * L (L its length,
// squared in 64 bits); when L > maxLength, maxLength = L and maxIndex =
// index (ties keep the earlier); when L <= minLength, minLength = L and
// minIndex = index (ties move to the later); groupCounts[0..4] grow by the
// counts of the five residue groups (upper-case letters only, as in
// splitDataSet). Keeps no state.
void featuresSequence(std::string sequence, int index, double& sumLength, double& sumSquares,
                      int& maxLength, int& minLength, int& maxIndex, int& minIndex,
                      double* groupCounts);

// Reads the FASTA data set at `path` as a stream (memory does not grow with
// the file) and adds its feature row at OF.rows[OF.n]:
//   name = base name of path; feature[0] = number of records R;
//   feature[1] = mean length; feature[2] = standard deviation of the lengths
//   (population; NaN if rounding makes the variance negative);
//   feature[3] = feature[4] = 0; feature[5 + g] = count of residue group g
//   over all records / R; options cleared, label left as it was.
// Then OF.n grows by one, the features of OF.max and OF.min are set to those
// of the row (replaced, not widened), and nSequencesInput = R (at most
// INT_MAX).
// Records and lines as in splitDataSet (a discarded record still counts,
// with length 0), except that lines before the first record are skipped
// rather than the whole data set ignored. A regular file is read only up to
// its size at opening.
// Returns 0, or -1 with no row added when: the file cannot be opened or read
// ("Error opening"); OF.n is outside [0, 250) (one line on standard error;
// checked before reading); the data set holds no record (a warning line).
int extractFeatures2(char* path);

// ---------------------------------------------------------------------------
// Sequence comparison (src/compare)

// Similarity score from the edit distance: with d the Levenshtein distance
// (insertion, deletion and substitution cost 1; bytes compared exactly), L
// the longer length and s = 1 - d / L, returns -ln(1 - s + 0.2 s^2), from -0
// (nothing in common) up to ln 5 = 1.609... (equal strings). An empty operand
// gives the other's length instead, not a score. Exact for any strings;
// bit-parallel over a band that widens with the distance: for lengths m <= n
// about n * min(m, d + n - m) / 64 word steps, never much more than
// n * m / 64; memory about m / 8 bytes per distinct byte of the shorter.
double levenshtein(const std::string& a, const std::string& b);

// The same score for two NUL-terminated strings, storing s in `similarity`.
// Two empty strings give similarity 1 (score ln 5); one empty string gives
// similarity 0.
double uiLevenshteinDistance(const char* a, const char* b, double& similarity);

// +1 when a[i - 1] == b[j - 1], else -1 (positions count from 1). Throws
// std::out_of_range when i is outside 1..a.size() (checked first) or j
// outside 1..b.size().
int weightNW(std::string a, std::string b, int i, int j);

// Identity of a global alignment of a and b (match +1, mismatch -1, gap -1
// per position): identical columns / alignment columns, in [0, 1]. Among the
// optimal alignments, the traceback from the end takes the diagonal first,
// then a gap in a, then a gap in b. One empty string gives 0, two give NaN.
// Time a.size() * b.size() cell steps (vectorised with AVX2 where the
// processor has it); memory 2 bits per cell.
double NeedlemanWunsch(std::string a, std::string b);

// ---------------------------------------------------------------------------
// Reference selection (src/selection)

// Appends the reference data sets of an option file (a text table, 13
// fields per line: name;f0;...;f9;label;options) to OF, from row OF.n on:
// name = field 0, feature[k] = number of field k + 1, label = number of field
// 11 (narrowed to int), options = field 12; further fields are ignored.
// Every value widens OF.max / OF.min by strict comparison (a NaN widens
// neither; the bounds start from what they hold, 0 at program start). A line
// with fewer than 13 fields is skipped with a warning line naming the file
// and line number. At 250 rows reading stops with a warning line.
// Returns the number of rows added, or -1 after "Error opening" when the file
// cannot be opened (OF untouched) or a read fails (a folder, an I/O error:
// OF.n, max and min restored; rows past OF.n may hold the partial lines).
int readOptionFile(char* path);

// Prints rows 0 to OF.n - 1 on standard output, two lines each:
// "name;f0;...;f9;label" (default number format) and the options.
void printOptionFile();

// Rescales features 0-9 of rows 0 to OF.n - 1 to (value - min) / (max -
// min), with the bounds of OF.min and OF.max, which stay as they were (so a
// second call rescales again). A feature whose bounds are equal becomes NaN
// or an infinity. Nothing happens when OF.n < 1.
void normalizeData();

// Finds, for each feature group, the row of OF nearest to row 0 by the
// Euclidean distance over the group's features, looking at rows 1 to
// OF.n - 1 in order. Starts from iA = iB = iC = iD = 1 and distA = distB =
// distC = 9999999.0. Each row is taken for at most one group: for A when its
// A distance is below distA; otherwise for B when its B distance is below
// distB and it is not iA; otherwise for C when its C distance is below distC
// and it is neither iA nor iB. Ties keep the earlier row, a NaN distance is
// never taken; a group without a pick keeps its start values. Sets the
// globals only; prints nothing.
void getNearestReference();

// Distances between rows x and y of OF (0 <= x, y < 250, unchecked), one per
// feature group in a, b, c:
// Euclidean: square root of the summed squared differences.
void euclideanDistance(int x, int y, double& a, double& b, double& c);
// Chebyshev as |largest signed difference x - y| (swapping the rows can
// change it); results below 1e-5 become 0.
void chebyshevDistance(int x, int y, double& a, double& b, double& c);
// Manhattan: sum of absolute differences; results below 1e-5 become 0.
void manhattanDistance(int x, int y, double& a, double& b, double& c);
// Cosine similarity per group; NaN when either row is all zeros there.
void cosineSimilarity(int x, int y, double& a, double& b, double& c);
// Cosine similarity over all ten features.
void cosineSimilarity(int x, int y, double& all);

// Ranks the nearest rows iA, iB, iC by their distances distA, distB, distC
// into opt[0..2], nearest first. Tied distances share one place, named by the
// last of A, B, C among them; a row index already placed earlier becomes 0,
// as does a place that no distance fills (NaN). The distances are left as
// they were, up to a rounding to the spacing of doubles near 9999999 (about
// 2^-29) for a distance that was ranked.
void setOptions();

// Reads a front file (a text table, 5 fields per line: objective0;
// objective1;objective2;aligner kind;options) into FRONT, replacing its
// entries: entry FRONT.n takes the three objectives, the kind (narrowed to
// int) and the options. A line whose aligner is switched off (MAFFT with
// noMAFFT == 1, KALIGN with noKALIGN == 1, MUSCLE with noMUSCLE == 1) is
// dropped. A MUSCLE line is stored but not counted, so the next line takes
// its entry. Best entries (strict comparisons, the earliest of equals; only
// values below 1e10 count): iBest0 has the smallest objective0, iBest1 the
// smallest objective1, iBest2 the smallest objective2 (-1 when none),
// iBestSum the smallest objective0 + objective1; iBest0, iBest1 and iBestSum
// keep their earlier values until an entry sets them. A MUSCLE line takes
// part under the index of the entry it leaves to the next line. A line with
// fewer than 5 fields is skipped with a warning line; at 250 entries reading
// stops with a warning line.
// Returns FRONT.n, or -1 after "Error opening" when the file cannot be
// opened or a read fails; FRONT is then as before the call.
int readFront(std::string path);

// ---------------------------------------------------------------------------
// Aligner execution (src/aligners)
//
// Commands run through /bin/sh in the current directory, which must hold the
// programs under ./bin (clustalw2, dialign-tx, kalign2, mafft, muscle3.8,
// t_coffee, qscore; probcons, clustalo, muscle5, probalign for kinds 5-8) and
// ./lib/DIALIGN-TX_1.0.2/conf/. Paths and options are passed unquoted: options are shell text, and
// a path with a blank becomes two words. Run files live in the folder "/tmp/fasta" + pid_ + time_,
// which the caller creates; the output file of index k is
// "/tmp/fasta<pid_><time_>/fasta<k><pid_><time_>".
//
// Scoring, shared by runAligner and mergeAlignments: when the output file
// exists, runs "./bin/qscore -test <output> -ref <reference> -seqdiffwarn
// -ignoremissingseqs -ignoretestcase -truncname -quiet" and takes the scores
// by name from the last two ';'-separated fields of its report
// (...;Q=<number>;TC=<number>, each wholly a finite number): scoreA = Q,
// scoreB = TC. A missing output file or a report without both scores (a
// scorer that failed or could not start) sets scoreA, scoreB and elapsed to
// -1.0, the sign of a failed run.

// The run folder, "/tmp/fasta" + pid_ + time_, and the output file of index
// k in it, runDirectory() + "/fasta" + k + pid_ + time_ (decimal texts).
std::string runDirectory();
std::string outputFile(int k);

// Runs `command` with popen and returns every byte it writes on standard
// output, NUL bytes included; its standard error is not captured and its exit
// status is ignored. A read error ends the text early. Returns "ERROR" when
// the shell cannot be started.
std::string exec(std::string command);

// Runs `command` with popen, reads its standard output to the end and
// discards it, and sets `elapsed` to the wall-clock microseconds from the
// start to the end of its output (the wait for its exit not included).
// Leaves `elapsed` alone when the shell cannot be started.
void execAligner(std::string command, double& elapsed);

// Runs one aligner on inputFile into the output file of index fileIndex and
// scores it against referenceFile (see Scoring above). The command by kind:
//   CLUSTALW   "cp <input> <out>.input; ./bin/clustalw2 -infile=<out>.input
//              -outfile=<out> -output=fasta -quiet -outorder=input <options>"
//   DIALIGNTX  "./bin/dialign-tx <options> ./lib/DIALIGN-TX_1.0.2/conf/
//              <input> <out> > /dev/null "
//   KALIGN     "./bin/kalign2 -in <input> -out <out> -quiet <options>
//              2> /dev/null"
//   MAFFT      "./bin/mafft --anysymbol --thread 1 --quiet [--parttree]
//              <options> <input> > <out> 2> /dev/null", --parttree when
//              nSequencesInput >= 10000
//   MUSCLE     "./bin/muscle3.8 -in <input> -out <out> -quiet [-maxiters 2]
//              <options> 2> /dev/null", -maxiters 2 when nSequencesInput >=
//              3000
//   PROBCONS   "./bin/probcons <options> <input> > <out> 2> /dev/null"
//   CLUSTALO   "./bin/clustalo -i <input> -o <out> --outfmt=fa --threads=1
//              <options> 2> /dev/null"
//   MUSCLE5    "./bin/muscle5 -align <input> -output <out> -threads 1
//              <options> 2> /dev/null"; options holding -stratified or
//              -diversified make an ensemble instead: "./bin/muscle5 -align
//              <input> -output <out>.efa -threads 1 <options> 2> /dev/null &&
//              ./bin/muscle5 -maxcc <out>.efa -output <out> 2> /dev/null"
//              (the replicate of highest column confidence)
//   PROBALIGN  "./bin/probalign <options> <input> > <out> 2> /dev/null"
// Any other kind runs an empty command, which fails the run.
// Stale outputs are removed before the run: the output file (and for
// CLUSTALW its .input copy, for MUSCLE5 its .efa ensemble), so that a failed
// run never scores an earlier
// run's file; one that exists but cannot be removed fails the run with a line
// on standard error. MAFFT first prints "Menor a 10000" or "Mayor a 10000",
// then OF.rows[0].feature[0], and for 10000 sequences or more the command.
// Results: scoreA = Q, scoreB = TC, elapsed = microseconds of the aligner
// run, or all three -1.0.
void runAligner(std::string inputFile, std::string referenceFile, int alignerKind,
                std::string alignerOptions, double& scoreA, double& scoreB, double& elapsed,
                int fileIndex);

// Merges the output files of indices 1, 2 and 3 into that of index 4 with
// "./bin/t_coffee -in=<1> -in=<2> -in=<3> -output=fasta_aln -outfile=<4>
// -evaluate_mode=t_coffee_slow -maxnseq=80 -maxlen=2500 -multi_core=4 -quiet
// -newtree=<4>.dnd", printing the command on standard output first, and
// scores the result as runAligner does. Output 4 and its .dnd are removed
// before the run. inputFile is not used. Non-empty options (t_coffee's
// -type=dna for nucleotides) end the command after a blank.
void mergeAlignments(std::string inputFile, std::string referenceFile, double& scoreA,
                     double& scoreB, double& elapsed, const std::string& options = "");

// qsort comparator of two t_Alignments, best first: the larger valueA +
// valueB first, on equal sums the larger valueC. Returns -1 when a comes
// first, 1 when b does, and 0 for equal keys or whenever the sum compared (or,
// on equal sums, valueC) is NaN.
int compareMyType(const void* a, const void* b);

// ---------------------------------------------------------------------------
// Random numbers (src/random): one subtractive generator (lags 24 and 55)
// whose whole state is global (seed, jrand, oldrand). With a seed in [0, 1)
// every draw lies in [0, 1); with the starting seed 237.0 the draws are far
// outside it.

// Restarts the generator from the global seed.
void randomize();
// Fills the state from random_seed and stirs it three times.
void warmup_random(double random_seed);
// Stirs the state once (refills the 55 values).
void advance_random();
// The next draw.
double randomperc();
// A whole number in [low, high], uniform, rounded down (also for negative
// ranges); low when low >= high. A draw outside [0, 1) is clamped to low or
// high. Consumes one draw unless low >= high.
int rnd(int low, int high);
// low + draw * (high - low).
double rndreal(double low, double high);

#endif  // GETCHAR_H
