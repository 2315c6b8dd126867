#include "features/own_side_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "getChar/base_name.h"

bool isSequenceFileName(const char* name) {
  if (std::strncmp(name, "sequence", 8) != 0) return false;
  const char* p = name + 8;
  if (*p < '1' || *p > '9') return false;
  while (*p >= '0' && *p <= '9') ++p;
  return std::strcmp(p, ".fasta") == 0;
}

std::string findOwnSideFile(int fd, const std::string& path, const std::string& dir) {
  struct stat input;
  if (::fstat(fd, &input) != 0) return "";
  // Follows symbolic links, as the run's own open of the side file does.
  auto isInput = [&](int dirFd, const char* name) {
    struct stat st;
    return ::fstatat(dirFd, name, &st, 0) == 0 && st.st_dev == input.st_dev &&
           st.st_ino == input.st_ino;
  };
  const std::string prefix = dir + "/";
  for (const char* name : {"All-sequences.fasta", "r-sequences.fasta"}) {
    if (isInput(AT_FDCWD, (prefix + name).c_str())) return name;
  }
  // Without a listing, the data set's own base name is the one name to try.
  auto ownName = [&]() -> std::string {
    const std::string own = baseName(path);
    return isSequenceFileName(own.c_str()) && isInput(AT_FDCWD, (prefix + own).c_str()) ? own : "";
  };
  DIR* folder = ::opendir(dir.c_str());
  if (folder == nullptr) return ownName();
  std::string found;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder);
    if (entry == nullptr) {
      // A listing cut short by a read error falls back on the own name.
      if (errno != 0) found = ownName();
      break;
    }
    if (entry->d_type != DT_DIR && isSequenceFileName(entry->d_name) &&
        isInput(::dirfd(folder), entry->d_name)) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(folder);
  return found;
}
