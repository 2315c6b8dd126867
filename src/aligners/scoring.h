// Scoring an alignment against a reference with the scorer ./bin/qscore.
#ifndef GETCHAR_ALIGNERS_SCORING_H
#define GETCHAR_ALIGNERS_SCORING_H

#include <string>

// The scorer's command line for one test alignment and its reference.
std::string scorerCommand(const std::string& testFile, const std::string& referenceFile);

// Reads the two scores from a report of the form
// name=value;name=value;name=value;name=value: tokens 5 and 7 when the report
// is cut at every "=" and ";". A report with fewer than eight tokens (no
// scorer, "ERROR", garbled output) holds no scores: false, and both left alone.
bool readScoreReport(const std::string& report, double& scoreA, double& scoreB);

// The last step of a run: when the output file can be opened, scores it;
// otherwise, or when the scorer gives no scores, sets all three results to
// -1.0, the sign of a missing result.
void scoreRunOutput(const std::string& outputFile, const std::string& referenceFile, double& scoreA,
                    double& scoreB, double& elapsed);

#endif  // GETCHAR_ALIGNERS_SCORING_H
