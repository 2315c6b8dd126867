// Seeded random strings for the comparison tests.
#ifndef GETCHAR_TEST_RANDOM_SEQUENCES_H
#define GETCHAR_TEST_RANDOM_SEQUENCES_H

#include <random>
#include <string>

namespace random_sequences {

// `length` bytes drawn from `alphabet` values spread over all byte values,
// NUL and 0xFF included.
inline std::string randomString(std::mt19937& random, size_t length, int alphabet) {
  std::uniform_int_distribution<int> letter(0, alphabet - 1);
  std::string s(length, '\0');
  for (char& c : s) c = char(255 - letter(random) * (256 / alphabet));
  return s;
}

// A copy of `a` that shares long runs with it: about one position in
// `editEvery` is deleted, one gets `insertLength` random bytes before it, and
// one is substituted.
inline std::string mutated(std::mt19937& random, const std::string& a, int alphabet, int editEvery,
                           size_t insertLength) {
  std::string b;
  std::uniform_int_distribution<int> action(0, editEvery - 1);
  for (char c : a) {
    int x = action(random);
    if (x == 0) continue;
    if (x == 1) b += randomString(random, insertLength, alphabet);
    b += x == 2 ? randomString(random, 1, alphabet)[0] : c;
  }
  return b;
}

}  // namespace random_sequences

#endif
