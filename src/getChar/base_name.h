// The file name part of a path.
#ifndef GETCHAR_BASE_NAME_H
#define GETCHAR_BASE_NAME_H

#include <string>

// The part of the path after its last "/": the whole path when it has none,
// and "" when it ends in "/".
inline std::string baseName(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

#endif
