#include "advice/calibration.h"

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>

#include "advice/mafft_auto.h"
#include "advice/model_file.h"
#include "getChar.h"
#include "runs/aligner_jobs.h"
#include "runs/data_set.h"
#include "runs/file_input.h"
#include "runs/file_output.h"
#include "runs/job_pool.h"
#include "runs/run_folder.h"
#include "runs/run_verdict.h"

namespace advice {

using nlohmann::json;

// Small, middling and larger for a consistency strategy: about 10 s in
// all on the machines the model was timed on.
const std::vector<ReferenceFamily> kCalibrationFamilies = {{6, 150}, {24, 250}, {60, 300}};

std::string calibrationPathFor(const std::string& costModelPath) {
  const std::filesystem::path folder = std::filesystem::path(costModelPath).parent_path();
  return (folder.empty() ? std::string("cost-calibration.json")
                         : (folder / "cost-calibration.json").string());
}

std::string referenceFamilyFasta(const ReferenceFamily& family, unsigned seed) {
  static const char kResidues[] = "ACDEFGHIKLMNPQRSTVWY";
  std::mt19937 random(seed);
  // Plain modulo and ratios of the generator's own output: the same family
  // from every standard library.
  auto below = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
  auto chance = [&](double p) { return random() < p * 4294967296.0; };
  std::string root;
  for (int i = 0; i < family.length; ++i) root += kResidues[below(20)];
  std::string fasta;
  for (int s = 0; s < family.sequences; ++s) {
    const double substitution = 0.1 + 0.3 * below(1000) / 1000.0;
    std::string sequence;
    for (char c : root) {
      if (chance(0.01)) continue;  // a deletion
      sequence += chance(substitution) ? kResidues[below(20)] : c;
      if (chance(0.01))
        for (unsigned k = 1 + below(3); k > 0; --k) sequence += kResidues[below(20)];
    }
    fasta += ">r" + std::to_string(s + 1) + "\n" + sequence + "\n";
  }
  return fasta;
}

bool calibrate(const CostModel& model, const std::string& toolsFolder, Calibration* out,
               std::string* error) {
  runs::RunFolder folder;
  if (!folder.create(error)) return false;
  Calibration c;
  double logSum = 0;
  for (size_t k = 0; k < kCalibrationFamilies.size(); ++k) {
    const ReferenceFamily& family = kCalibrationFamilies[k];
    // Under the safe names the runs are judged by, as in an advice.
    const std::string made = folder.file("family" + std::to_string(k + 1) + ".fasta");
    const std::string input = folder.file("input" + std::to_string(k + 1) + ".fasta");
    runs::DataSet data;
    if (!runs::writeFileAtomically(made, referenceFamilyFasta(family, 17 + k), error) ||
        !runs::readDataSet(made, &data, error) || !runs::writeSafeCopy(data, input, error))
      return false;
    const runs::Configuration autoRun = runs::makeConfiguration(MAFFT, kMafftAutoOption);
    const int fileIndex = runs::kFirstRunFile;
    std::vector<runs::JobOutcome> outcomes;
    runs::JobPoolSettings pool;
    runs::runJobs({runs::alignerJob(toolsFolder, input, folder.file("no-reference.fasta"), autoRun,
                                    fileIndex, static_cast<int>(data.size()))},
                  pool, [](size_t, const runs::JobOutcome&) {}, &outcomes);
    const runs::RunVerdict v = runs::judgeRun(outcomes[0], runs::runFile(fileIndex), data, false);
    if (!v.valid) {
      *error = "MAFFT --auto on reference family " + std::to_string(k + 1) + ": " + v.status;
      return false;
    }
    CalibrationRun r;
    r.sequences = static_cast<int>(data.size());
    r.meanLength = data.meanLength();
    CostModel uncalibrated = model;
    uncalibrated.speedFactor = 1;
    r.expectedSeconds = expectedSeconds(uncalibrated, autoRun, r.sequences, r.meanLength,
                                        static_cast<double>(data.longest()));
    r.seconds = v.seconds;
    logSum += std::log(std::max(r.seconds, 1e-3) / std::max(r.expectedSeconds, 1e-3));
    c.runs.push_back(r);
  }
  c.speedFactor = std::exp(logSum / static_cast<double>(c.runs.size()));
  *out = c;
  return true;
}

std::string formatCalibration(const Calibration& c) {
  json runs = json::array();
  for (const CalibrationRun& r : c.runs)
    runs.push_back({{"sequences", r.sequences},
                    {"meanLength", r.meanLength},
                    {"expectedSeconds", r.expectedSeconds},
                    {"seconds", r.seconds}});
  json j;
  j["speedFactor"] = c.speedFactor;
  j["costModel"] = c.costModel;
  j["runs"] = runs;
  return j.dump(2) + "\n";
}

bool parseCalibration(const std::string& text, Calibration* out, std::string* error) {
  try {
    const json j = json::parse(text);
    Calibration c;
    const json& f = j.at("speedFactor");
    if (!f.is_number() || !std::isfinite(f.get<double>()) || f.get<double>() <= 0)
      throw std::runtime_error("\"speedFactor\" is not a number above 0");
    c.speedFactor = f.get<double>();
    c.costModel = j.at("costModel").get<std::string>();
    for (const json& r : j.at("runs")) {
      CalibrationRun run;
      run.sequences = count(r, "sequences");
      run.meanLength = r.at("meanLength").get<double>();
      run.expectedSeconds = r.at("expectedSeconds").get<double>();
      run.seconds = r.at("seconds").get<double>();
      c.runs.push_back(run);
    }
    *out = c;
    return true;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool applyCalibration(const std::string& costModelPath, CostModel* model, std::string* path,
                      std::string* error) {
  model->speedFactor = 1;
  *path = calibrationPathFor(costModelPath);
  std::error_code ec;
  if (!std::filesystem::exists(*path, ec)) {
    path->clear();
    return true;
  }
  std::string text, why;
  Calibration c;
  if (!runs::readWholeFile(*path, &text)) {
    *error = "cannot read the calibration '" + *path + "'";
    return false;
  }
  if (!parseCalibration(text, &c, &why)) {
    *error = "the calibration '" + *path + "' is malformed: " + why;
    return false;
  }
  model->speedFactor = c.speedFactor;
  return true;
}

}  // namespace advice
