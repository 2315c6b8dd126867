// The Python module `getchar`: a data set's features, Q and TC, agreement and
// the whole advice, as the command-line programs compute them, without
// starting a process. Stands on the core and libs/ only.
//
// The core and the advice keep their state in globals (the core's tables,
// the run folder's names, the signal guard), so every call that touches them
// holds gCoreLock; the GIL is released while they work.
#include <fcntl.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "module_locations.h"
#include "advice/advisor.h"
#include "advice/core_tables.h"
#include "advice/report_json.h"
#include "runs/aligner_names.h"
#include "runs/data_set.h"
#include "runs/file_output.h"
#include "runs/job_pool.h"
#include "runs/run_folder.h"
#include "runs/signal_guard.h"
#include "runs/tool_locations.h"
#include "scoring/agreement.h"
#include "scoring/alignment.h"
#include "scoring/score.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace {

std::mutex gCoreLock;

// The exception classes, made at import.
PyObject* gError = nullptr;       // getchar.Error(RuntimeError)
PyObject* gInputError = nullptr;  // getchar.InputError(Error, ValueError)
PyObject* gFileError = nullptr;   // getchar.FileError(InputError, OSError)
PyObject* gRunError = nullptr;    // getchar.RunError(Error)

const char* const kFeatureNames[10] = {"sequences", "meanLength", "lengthSD", "f3",   "f4",
                                       "RHK",       "DE",         "STNQ",     "CUGP", "AVILMFYW"};

// A failure found while the GIL was released, raised once it is held again.
struct Failure {
  Failure(PyObject* t, std::string m, std::string p = "", int e = 0)
      : type(t), message(std::move(m)), path(std::move(p)), error(e) {}
  PyObject* type;
  std::string message;
  std::string path;  // the file of a FileError (its message names it)
  int error;         // its errno
};

[[noreturn]] void raise(const Failure& f) {
  py::object e = py::reinterpret_borrow<py::object>(f.type)(f.message);
  // errno alone: with a filename OSError would print its own text instead.
  if (f.type == gFileError) e.attr("errno") = f.error;
  PyErr_SetObject(f.type, e.ptr());
  throw py::error_already_set();
}

// A reader's refusal: a FileError when the file cannot be read at all.
Failure inputFailure(const std::string& path, const std::string& message) {
  Failure f{gInputError, message, path, 0};
  if (::access(path.c_str(), R_OK) != 0) {
    f.type = gFileError;
    f.error = errno;
  }
  return f;
}

// A shipped data file beside the module (module_locations.h).
std::string dataFile(const std::string& name) {
  const getchar_module::Lookup l = getchar_module::findModuleDataFile(name);
  if (l.found.empty())
    raise(Failure{gError, "the shipped file " + name + " is missing; looked in " +
                              getchar_module::listPlaces(l.tried)});
  return l.found;
}

py::dict featureDict(const double* f) {
  py::dict d;
  for (int k = 0; k < 10; ++k) d[kFeatureNames[k]] = f[k];
  return d;
}

py::dict features(const std::string& path) {
  std::optional<Failure> failure;
  double f[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  {
    py::gil_scoped_release release;
    std::lock_guard<std::mutex> lock(gCoreLock);
    std::string error;
    runs::DataSet data;
    runs::RunFolder folder;
    // As the advice computes them: on the checked residues, under safe names.
    if (!runs::readDataSet(path, &data, &error)) {
      failure = inputFailure(path, error);
    } else if (!folder.create(&error) ||
               !runs::writeSafeCopy(data, folder.file("input.fasta"), &error)) {
      failure = Failure{gError, error};
    } else if (!advice::extractDataSetFeatures(folder.file("input.fasta"), f)) {
      failure = Failure{gError, "cannot read back '" + folder.file("input.fasta") + "'"};
    }
  }
  if (failure) raise(*failure);
  return featureDict(f);
}

py::dict score(const std::string& test, const std::string& reference) {
  std::optional<Failure> failure;
  scoring::Score s;
  {
    py::gil_scoped_release release;
    std::string error;
    scoring::Alignment t, r;
    if (!scoring::readAlignmentFile(test, &t, &error)) {
      failure = inputFailure(test, error);
    } else if (!scoring::readAlignmentFile(reference, &r, &error)) {
      failure = inputFailure(reference, error);
    } else if (!scoring::scoreAlignments(t, r, scoring::ScoreOptions(), &s, &error)) {
      failure = Failure{gInputError, error};
    }
  }
  if (failure) raise(*failure);
  py::dict d;
  d["Q"] = s.q;
  d["TC"] = s.tc;
  return d;
}

// True when some column holds two residues: only then is a share with this
// alignment as the first defined.
bool alignsAPair(const scoring::Alignment& a) {
  for (size_t c = 0; c < a.columns(); ++c) {
    int residues = 0;
    for (const scoring::AlignedSequence& s : a.sequences)
      if (!scoring::isGap(s.row[c]) && ++residues == 2) return true;
  }
  return false;
}

py::list agreement(const std::vector<std::string>& paths) {
  if (paths.size() < 2) raise(Failure{gInputError, "the agreement needs two alignments or more"});
  std::optional<Failure> failure;
  std::vector<double> mean(paths.size(), NAN);
  {
    py::gil_scoped_release release;
    std::vector<scoring::Alignment> alignments(paths.size());
    std::string error;
    for (size_t i = 0; i < paths.size() && !failure; ++i)
      if (!scoring::readAlignmentFile(paths[i], &alignments[i], &error))
        failure = inputFailure(paths[i], error);
    for (size_t i = 0; i < paths.size() && !failure; ++i) {
      if (!alignsAPair(alignments[i])) continue;
      double sum = 0;
      for (size_t j = 0; j < paths.size() && !failure; ++j) {
        double share = 0;
        if (i == j) continue;
        if (!scoring::agreementShare(alignments[i], alignments[j], &share, &error))
          failure = Failure{gInputError, "'" + paths[i] + "' and '" + paths[j] + "': " + error};
        sum += share;
      }
      mean[i] = sum / static_cast<double>(paths.size() - 1);
    }
  }
  if (failure) raise(*failure);
  py::list out;
  for (double m : mean) out.append(std::isnan(m) ? py::object(py::none()) : py::float_(m));
  return out;
}

// The module's advice hears nothing of the runs: a caller that wants
// progress runs alnadvise.
class Silent : public advice::AdviceObserver {};

// What advise() needs of its arguments, checked as alnadvise checks its options.
advice::AdviceSettings adviceSettings(const std::string& path, const std::optional<std::string>& ref,
                                      std::optional<int> jobs, std::optional<double> budget,
                                      const std::optional<std::vector<std::string>>& aligners,
                                      const std::string& effort, bool merge) {
  advice::AdviceSettings s;
  advice::Effort known{};
  std::string why;
  if (!advice::findEffort(effort, &known, &why)) raise(Failure{gInputError, "--effort: " + why});
  s.effort = effort;
  s.merge = merge;
  s.dataSet = path;
  s.reference = ref.value_or("");
  s.jobs = jobs.value_or(runs::onlineCores());
  if (s.jobs < 1 || s.jobs > 1024)
    raise(Failure{gInputError, "--jobs: " + std::to_string(s.jobs) + " is not in 1 to 1024"});
  if (budget) {
    if (!(*budget >= 0 && *budget < 1e12))
      raise(Failure{gInputError, "--budget: '" + py::str(py::float_(*budget)).cast<std::string>() +
                                     "' is not a number of seconds, 0 or more"});
    s.budgetSeconds = *budget;
  }
  if (aligners) {
    std::string list, error;
    for (const std::string& a : *aligners) list += (list.empty() ? "" : ",") + a;
    if (!runs::parseAlignerList(list, &s.aligners, &error))
      raise(Failure{gInputError, "--aligners: " + error});
    s.alignersGiven = true;
  }
  // The tools and the shipped files beside the module (the running program
  // is python3, so the library's own search beside it finds nothing).
  const char* toolsDir = std::getenv("GETCHAR_TOOLS_DIR");
  if (toolsDir == nullptr || *toolsDir == '\0') {
    const getchar_module::Lookup tools = getchar_module::findModuleToolsFolder();
    if (tools.found.empty())
      raise(Failure{gError, "no aligners found; looked in " + getchar_module::listPlaces(tools.tried) +
                                ". Set GETCHAR_TOOLS_DIR to a folder laid out by "
                                "scripts/install-aligners, or put an installed alnadvise "
                                "(cmake --install) on PATH"});
    s.tools = tools.found;
  }
  s.table = dataFile("reference-table.txt");
  s.front = dataFile("front.txt");
  s.choiceModel = dataFile("choice-model.json");
  s.costModel = dataFile("cost-model.json");
  s.gainModel = dataFile("gain-model.json");
  s.confidenceCalibration = dataFile("confidence-calibration.json");
  return s;
}

// out/best.fasta and out/report.json, each written whole or not at all.
bool writeOutputs(const std::string& out, const advice::Advice& a, const std::string& json,
                  std::string* error) {
  std::error_code ec;
  const std::string best = out + "/best.fasta";
  fs::remove(best, ec);
  if (a.bestIndex >= 0 &&
      !runs::writeFileAtomically(best, runs::alignedFasta(a.data.names, a.results[0].rows), error))
    return false;
  return runs::writeFileAtomically(out + "/report.json", json, error);
}

py::object advise(const std::string& path, const std::optional<std::string>& ref,
                  const std::optional<std::string>& out, std::optional<int> jobs,
                  std::optional<double> budget,
                  const std::optional<std::vector<std::string>>& aligners,
                  const std::string& effort, bool merge) {
  const advice::AdviceSettings settings =
      adviceSettings(path, ref, jobs, budget, aligners, effort, merge);
  std::optional<Failure> failure;
  bool interrupted = false;
  std::string json;
  {
    py::gil_scoped_release release;
    std::lock_guard<std::mutex> lock(gCoreLock);
    const auto start = std::chrono::steady_clock::now();
    // Restores the caller's handlers (Python's own SIGINT one) when it goes.
    runs::SignalGuard guard;
    advice::Advisor advisor(settings);
    std::string error;
    int log = -1;
    std::error_code ec;
    if (!advisor.checkInputs(&error)) {
      // The data set is read first, then the reference.
      failure = ::access(path.c_str(), R_OK) != 0 ? inputFailure(path, error)
                : ref && ::access(ref->c_str(), R_OK) != 0 ? inputFailure(*ref, error)
                                                           : Failure{gInputError, error};
    } else if (out && !fs::create_directories(*out, ec) && !fs::is_directory(*out, ec)) {
      failure = Failure{gFileError, "cannot create the output folder '" + *out + "'", *out,
                        ec ? ec.value() : ENOTDIR};
    } else {
      const std::string logPath = out ? *out + "/advise.log" : "/dev/null";
      log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
      if (log < 0) failure = Failure{gFileError, "cannot write '" + logPath + "'", logPath, errno};
    }
    if (!failure) {
      Silent silent;
      const advice::AdviceOutcome outcome = advisor.run(log, silent, &error);
      if (outcome == advice::AdviceOutcome::kFailed) {
        failure = Failure{gRunError, error};
      } else if (outcome == advice::AdviceOutcome::kInterrupted) {
        interrupted = true;
      } else {
        advice::Advice& a = advisor.advice();
        a.wallSeconds = runs::secondsSince(start);
        a.overheadSeconds = a.wallSeconds - advisor.poolSeconds();
        json = advice::formatJson(a);
        if (out && !writeOutputs(*out, a, json, &error))
          failure = Failure{gRunError, error};
        else if (a.bestIndex < 0)
          failure = Failure{gRunError, out ? "every run failed; see " + *out + "/advise.log"
                                           : std::string("every run failed")};
      }
    }
    if (log >= 0) ::close(log);
  }
  if (interrupted) {
    PyErr_SetString(PyExc_KeyboardInterrupt, "interrupted; runs stopped");
    throw py::error_already_set();
  }
  py::object report =
      json.empty() ? py::object(py::none()) : py::module_::import("json").attr("loads")(json);
  if (failure) {
    if (failure->type == gRunError && !report.is_none()) {
      // The report of a run that gave no alignment is still the caller's.
      py::object e = py::reinterpret_borrow<py::object>(gRunError)(failure->message);
      e.attr("report") = report;
      PyErr_SetObject(gRunError, e.ptr());
      throw py::error_already_set();
    }
    raise(*failure);
  }
  return report;
}

PyObject* newException(py::module_& m, const char* name, PyObject* bases, const char* doc) {
  const std::string full = std::string("getchar.") + name;
  PyObject* type = PyErr_NewExceptionWithDoc(full.c_str(), doc, bases, nullptr);
  if (!type) throw py::error_already_set();
  m.attr(name) = py::reinterpret_borrow<py::object>(type);
  return type;
}

}  // namespace

PYBIND11_MODULE(_getchar, m) {
  m.doc() = "getChar's features, scores, agreement and advice for protein FASTA data sets.";
  gError = newException(m, "Error", PyExc_RuntimeError, "A failure of getChar.");
  py::tuple inputBases = py::make_tuple(py::handle(gError), py::handle(PyExc_ValueError));
  gInputError = newException(m, "InputError", inputBases.ptr(),
                             "An input refused: a data set, alignment, reference or argument.");
  py::tuple fileBases = py::make_tuple(py::handle(gInputError), py::handle(PyExc_OSError));
  gFileError = newException(m, "FileError", fileBases.ptr(),
                            "A file that cannot be read, or an output that cannot be written.");
  gRunError = newException(m, "RunError", gError,
                           "The advice gave no alignment, or its files could not be written; "
                           ".report holds the report when there is one.");
  m.attr("FEATURES") = py::tuple(py::cast(std::vector<std::string>(kFeatureNames, kFeatureNames + 10)));

  m.def("features", &features, py::arg("path"),
        "The ten features of a protein FASTA data set, as a dict in the core's order.");
  m.def("score", &score, py::arg("test"), py::arg("ref"),
        "{'Q': ..., 'TC': ...} of a test alignment against a reference (as alnscore).");
  m.def("agreement", &agreement, py::arg("paths"),
        "Per alignment, in the order given: its mean share of aligned pairs with each other "
        "alignment of the same sequences; None when it aligns no pair.");
  m.def("advise", &advise, py::arg("path"), py::arg("ref") = py::none(),
        py::arg("out") = py::none(), py::arg("jobs") = py::none(), py::arg("budget") = py::none(),
        py::arg("aligners") = py::none(), py::arg("effort") = "default", py::arg("merge") = false,
        "Runs the advice (as alnadvise) and returns report.json as a dict. out: a folder that "
        "receives best.fasta, report.json and advise.log; None: nothing is left behind. "
        "effort: fast, default or thorough (the default budget); merge: also merge the three "
        "best with t_coffee.");
}
