// Writing the side files of the data set extraction. Each entry opens its
// file, writes, and closes it again, so no file stays open between entries.
#ifndef GETCHAR_SIDE_FILES_H
#define GETCHAR_SIDE_FILES_H

#include <string>
#include <string_view>

class SideFiles {
 public:
  // Files are named dir + "/" + name. The folder is opened once so that each
  // entry is opened relative to it instead of walking the whole path again.
  explicit SideFiles(const std::string& dir);
  ~SideFiles();
  SideFiles(const SideFiles&) = delete;
  SideFiles& operator=(const SideFiles&) = delete;

  // Replaces the content of the file `name` with `entry`, or appends `entry`
  // to it (creating it when missing). An entry is on disk whole or not at
  // all: on a failed or short write, an append is cut back to the size the
  // file had before it, and a replaced file is removed. On failure writes one
  // warning line naming the path on standard error and returns false.
  bool write(std::string_view name, std::string_view entry);
  bool append(std::string_view name, std::string_view entry);

 private:
  bool writeEntry(std::string_view name, std::string_view entry, int flags);
  bool removeFile();  // the file named by path_

  std::string dir_;
  int dirFd_ = -1;
  std::string path_;  // scratch for the full path of an entry
};

#endif
