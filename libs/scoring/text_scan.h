// Blanks and trimming shared by the alignment readers (alignment.cpp,
// alignment_formats.cpp): the C locale's white space, without isspace's
// dependence on the locale and on the sign of char.
#ifndef SCORING_TEXT_SCAN_H
#define SCORING_TEXT_SCAN_H

#include <string_view>

namespace scoring {

inline bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace scoring

#endif
