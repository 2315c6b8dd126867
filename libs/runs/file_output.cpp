#include "runs/file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace runs {

bool writeFileAtomically(const std::string& path, const std::string& text, std::string* error) {
  std::string pattern = path + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    *error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  size_t written = 0;
  int cause = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      cause = errno;
      break;
    }
    written += static_cast<size_t>(n);
  }
  if (::fchmod(fd, 0644) != 0 && cause == 0) cause = errno;
  if (::close(fd) != 0 && cause == 0) cause = errno;
  if (cause == 0 && std::rename(name.data(), path.c_str()) != 0) cause = errno;
  if (cause != 0) {
    ::unlink(name.data());
    *error = "cannot write '" + path + "': " + std::strerror(cause);
    return false;
  }
  return true;
}

std::string alignedFasta(const std::vector<std::string>& names,
                         const std::vector<std::string>& rows) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < rows.size(); ++i) {
    text += ">" + names[i] + "\n";
    for (size_t at = 0; at < rows[i].size(); at += 60) text += rows[i].substr(at, 60) + "\n";
    if (rows[i].empty()) text += "\n";
  }
  return text;
}

}  // namespace runs
