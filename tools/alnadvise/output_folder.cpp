#include "output_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace alnadvise {

namespace fs = std::filesystem;

const std::vector<std::string> kOwnedOutputs = {"best.fasta",         "best.aln",
                                                "best.sto",           "best.phy",
                                                "best.msf",           "best.names.tsv",
                                                "columns.tsv",        "best.masked.fasta",
                                                "best.trimmed.fasta", "best.trimmed.columns.tsv",
                                                "report.tsv",         "report.json",
                                                "report.html",        "advise.log",
                                                "alignments"};

std::string defaultOutputFolder(const std::string& dataSetPath) {
  std::string base = dataSetPath.substr(dataSetPath.rfind('/') + 1);
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base = base.substr(0, dot);
  if (base.empty() || base == "." || base == "..") base = "data-set";
  return base + ".advise";
}

OutputFolderLock::~OutputFolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool OutputFolderLock::take(const std::string& folder, std::string* error) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    *error = "cannot open output folder '" + folder + "': " + std::strerror(errno);
    return false;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    *error = errno == EWOULDBLOCK
                 ? "output folder '" + folder + "' is in use by another alnadvise"
                 : "cannot lock output folder '" + folder + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

bool prepareOutputFolder(const std::string& folder, bool force, OutputFolderLock* lock,
                         std::string* error) {
  std::error_code ec;
  const fs::file_status status = fs::status(folder, ec);
  if (fs::exists(status) && !fs::is_directory(status)) {
    *error = "output folder '" + folder + "' exists and is not a folder";
    return false;
  }
  // Another advice may create it at the same time: that is no failure here,
  // the lock below tells the two apart.
  if (!fs::exists(status)) fs::create_directories(folder, ec);
  if (ec) {
    *error = "cannot create output folder '" + folder + "': " + ec.message();
    return false;
  }
  // Locked before it is judged empty: two advices into one new folder would
  // both find it so.
  if (!lock->take(folder, error)) return false;
  const bool empty = fs::is_empty(folder, ec);
  if (ec) {
    *error = "cannot read output folder '" + folder + "': " + ec.message();
    return false;
  }
  if (!empty && !force) {
    *error = "output folder '" + folder + "' is not empty (use --force to replace its results)";
    return false;
  }
  const std::string probe = folder + "/.alnadvise-probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) {
    *error = "output folder '" + folder + "' is not writable: " + std::strerror(errno);
    return false;
  }
  ::close(fd);
  ::unlink(probe.c_str());
  if (force) {
    for (const std::string& name : kOwnedOutputs) {
      fs::remove_all(folder + "/" + name, ec);
      if (ec) {
        *error = "cannot remove '" + folder + "/" + name + "': " + ec.message();
        return false;
      }
    }
  }
  return true;
}

}  // namespace alnadvise
