// The runner's folder of run files, /tmp/fasta<pid_><time_>, and the names
// of the files in it. The core names them (outputFile in getChar.h); this
// is where the programs agree on which index is whose: 1-3 are the merge's
// inputs and 4 its output, every aligner run takes an index from 5 on.
#ifndef RUNS_RUN_FOLDER_H
#define RUNS_RUN_FOLDER_H

#include <string>

namespace runs {

const int kMergeInputFiles[3] = {1, 2, 3};
const int kMergeOutputFile = 4;
const int kFirstRunFile = 5;

// The run file of an index in the folder that RunFolder::create made: the
// core's outputFile(index).
std::string runFile(int index);

// Sets pid_ to this process and time_ to a clock-derived number, and creates
// the folder the runner expects with mode 0700. A folder that exists already
// is never reused: time_ moves on and the creation is tried again. The
// destructor removes the folder and everything in it unless keep() was
// called.
class RunFolder {
 public:
  RunFolder() = default;
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  bool create(std::string* error);
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void keep() { keep_ = true; }
  // Removes the folder now (unless kept); later calls do nothing.
  void remove();

 private:
  std::string path_;
  bool keep_ = false;
};

}  // namespace runs

#endif
