// The cost model fitted to this machine: MAFFT --auto, the run every advice
// starts with and budgets by, timed on a few reference families that the
// program makes itself (the same every time), against the model's
// expectation. Their geometric mean ratio is the speed factor, stored beside
// the model as cost-calibration.json; every expected time is multiplied by
// it (CostModel::speedFactor). A machine twice as slow as the one the model
// was fitted on gets a factor of about 2.
//
// The file: {"speedFactor": F, "costModel": PATH, "runs": [{"sequences",
// "meanLength", "expectedSeconds", "seconds"}, ...]}.
#ifndef ADVICE_CALIBRATION_H
#define ADVICE_CALIBRATION_H

#include <string>
#include <vector>

#include "advice/cost_model.h"

namespace advice {

// Beside the model: cost-calibration.json in the folder of costModelPath.
std::string calibrationPathFor(const std::string& costModelPath);

struct CalibrationRun {
  int sequences = 0;
  double meanLength = 0, expectedSeconds = 0, seconds = 0;
};

struct Calibration {
  double speedFactor = 1;
  std::string costModel;
  std::vector<CalibrationRun> runs;
};

// The reference families: (sequences, length) pairs, and the FASTA text of
// one, made from a fixed seed (related sequences: a random root, 10 to 40 %
// of it substituted and a few short indels per sequence).
struct ReferenceFamily {
  int sequences, length;
};
extern const std::vector<ReferenceFamily> kCalibrationFamilies;
std::string referenceFamilyFasta(const ReferenceFamily& family, unsigned seed);

// Times MAFFT --auto (one thread, as the advisor runs it) on each reference
// family in a fresh run folder, against `model` (read without any earlier
// calibration). False with *error when a run fails: no factor is made of a
// failure.
bool calibrate(const CostModel& model, const std::string& toolsFolder, Calibration* out,
               std::string* error);

// Every number finite, the factor above 0. False with the file and the
// fault in *error.
bool parseCalibration(const std::string& text, Calibration* out, std::string* error);
std::string formatCalibration(const Calibration& calibration);

// Reads the calibration beside the model, when there is one, into
// model->speedFactor (1 without one). False with *error for a file that
// is there but cannot be read or is malformed.
bool applyCalibration(const std::string& costModelPath, CostModel* model, std::string* path,
                      std::string* error);

}  // namespace advice

#endif
