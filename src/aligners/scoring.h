// Scoring an alignment against a reference with the scorer ./bin/qscore.
#ifndef GETCHAR_ALIGNERS_SCORING_H
#define GETCHAR_ALIGNERS_SCORING_H

#include <string>

// The scorer's command line for one test alignment and its reference.
std::string scorerCommand(const std::string& testFile, const std::string& referenceFile);

// Reads the two scores from the scorer's one-line report
// Test=<path>;Ref=<path>;Q=<number>;TC=<number>: the last two ";"-separated
// fields, by name. Anything else (fewer than four fields, other names, a
// value that is not wholly a finite number, "ERROR" of a scorer that could
// not start) holds no scores: false, and both left alone.
bool readScoreReport(const std::string& report, double& scoreA, double& scoreB);

// The last step of a run: when the output file can be opened, scores it;
// otherwise, or when the scorer gives no scores, sets all three results to
// -1.0, the sign of a missing result.
void scoreRunOutput(const std::string& outputFile, const std::string& referenceFile, double& scoreA,
                    double& scoreB, double& elapsed);

// Sets all three results to -1.0, the sign of a failed run.
void failRun(double& scoreA, double& scoreB, double& elapsed);

#endif  // GETCHAR_ALIGNERS_SCORING_H
