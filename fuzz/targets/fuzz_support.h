// Helpers shared by the fuzz targets: a scratch folder for the files the
// readers take by path, quiet library messages, and loud check failures.
#ifndef GETCHAR_FUZZ_SUPPORT_H
#define GETCHAR_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A folder of this process under $TMPDIR (or /tmp), made at the first call
// and removed with its content at exit.
const std::string& scratchDir();

// Writes the input to scratchDir()/name, replacing it, and returns the path.
std::string writeInput(const uint8_t* data, size_t size, const char* name);

// Reads the whole file into *content; false when it cannot be opened.
bool readFile(const std::string& path, std::string* content);

// The lines of `text` cut at each line feed, which is dropped; a last line
// without one is a line too.
std::vector<std::string_view> splitLines(std::string_view text);

// The residue group of a byte, 0 to 4 (R H K; D E; S T N Q; C U G P;
// A V I L M F Y W), or 5 for none.
int residueGroup(char c);

// Sends what the library writes on std::cerr nowhere: warnings about odd
// lines are expected by the thousand. Sanitizer and check reports still go
// to standard error.
void silenceLibraryMessages();

// Reports a broken expectation on standard error and aborts, which libFuzzer
// records as a finding with the input that caused it.
[[noreturn]] void fail(const std::string& what);
inline void check(bool condition, const std::string& what) {
  if (!condition) fail(what);
}

inline std::string_view text(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz

#endif
