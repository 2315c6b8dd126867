// The user's output folder and the files the advisor writes there.
#ifndef ALNADVISE_OUTPUT_FOLDER_H
#define ALNADVISE_OUTPUT_FOLDER_H

#include <string>
#include <vector>

namespace alnadvise {

// The files and folders the advisor owns in an output folder.
extern const std::vector<std::string> kOwnedOutputs;

// "<base name without its last extension>.advise", e.g. "BB11001.advise"
// for "/data/BB11001.tfa".
std::string defaultOutputFolder(const std::string& dataSetPath);

// An exclusive lock on an output folder (flock on the folder itself, so
// that nothing is left in it), held while the object lives: a second
// alnadvise writing into the same folder, even with --force, would mix or
// lose both results.
class OutputFolderLock {
 public:
  OutputFolderLock() = default;
  ~OutputFolderLock();
  OutputFolderLock(const OutputFolderLock&) = delete;
  OutputFolderLock& operator=(const OutputFolderLock&) = delete;
  // False with *error when the folder cannot be opened or another process
  // holds it.
  bool take(const std::string& folder, std::string* error);

 private:
  int fd_ = -1;
};

// Creates the folder (with its parents) when missing and takes its lock.
// An existing folder that is not empty is refused unless force, which
// removes the owned outputs only. Then probes that a file can be created
// there. Fails with one line in *error; nothing is written then.
bool prepareOutputFolder(const std::string& folder, bool force, OutputFolderLock* lock,
                         std::string* error);

}  // namespace alnadvise

#endif
