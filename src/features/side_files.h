// Writing the side files of the data set extraction. A record's own file is
// opened, written and closed for its entry; the collected files are opened at
// their first entry and then held open in append mode for the rest of the run
// (created if missing, never truncated). Every entry goes out with one
// write(2), so it is in its file, whole and in order, as soon as it is
// written: a run that is killed loses nothing written before.
#ifndef GETCHAR_SIDE_FILES_H
#define GETCHAR_SIDE_FILES_H

#include <string>
#include <string_view>
#include <vector>

class SideFiles {
 public:
  // Files are named dir + "/" + name. The folder is opened once so that each
  // entry is opened relative to it instead of walking the whole path again.
  explicit SideFiles(const std::string& dir);
  ~SideFiles();  // closes the collected files
  SideFiles(const SideFiles&) = delete;
  SideFiles& operator=(const SideFiles&) = delete;

  // Replaces the content of the file `name` with `entry`, or appends `entry`
  // to the collected file `name`. An entry is on disk whole or not at all: on
  // a failed or short write, an append is cut back to the size the file had
  // before it, and a replaced file is removed. On failure writes one warning
  // line naming the path on standard error and returns false; a collected
  // file that could not be opened is tried again at its next entry.
  bool write(std::string_view name, std::string_view entry);
  bool append(std::string_view name, std::string_view entry);

  // Closes the collected files, with a warning for each whose close fails
  // (a file system that reports write errors only then).
  void closeCollected();

 private:
  struct Collected {
    std::string name;
    int fd;
  };

  int open(std::string_view name, int flags);  // relative to the folder
  int collectedFile(std::string_view name);    // opened at its first entry
  bool removeFile(std::string_view name);
  // "Warning: <what> '<dir>/<name>'<after>"
  void warn(std::string_view name, const char* what, const char* after) const;

  std::string dir_;
  int dirFd_ = -1;
  std::string path_;  // scratch for the name of an entry's file
  std::vector<Collected> collected_;
};

#endif
