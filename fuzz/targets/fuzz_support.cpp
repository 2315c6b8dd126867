#include "fuzz_support.h"

#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <vector>

namespace fuzz {

namespace {

std::string* scratch = nullptr;

int removeEntry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

void removeScratch() {
  if (scratch) ::nftw(scratch->c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace

const std::string& scratchDir() {
  if (!scratch) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/getChar-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) fail("cannot make a scratch folder from " + pattern);
    scratch = new std::string(name.data());
    std::atexit(removeScratch);
  }
  return *scratch;
}

std::string writeInput(const uint8_t* data, size_t size, const char* name) {
  const std::string path = scratchDir() + "/" + name;
  // A new file rather than a truncated one: ext4 writes a file that was
  // truncated and written again back to disk at its close.
  ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) fail("cannot create " + path);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) fail("cannot write " + path);
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  return path;
}

bool readFile(const std::string& path, std::string* content) {
  content->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[1 << 16];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    content->append(buffer, static_cast<size_t>(n));
  ::close(fd);
  if (n < 0) fail("cannot read " + path);
  return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

int residueGroup(char c) {
  static const std::string_view kGroups[5] = {"RHK", "DE", "STNQ", "CUGP", "AVILMFYW"};
  static const std::vector<int> table = [] {
    std::vector<int> t(256, 5);
    for (int g = 0; g < 5; ++g) {
      for (char letter : kGroups[g]) t[static_cast<unsigned char>(letter)] = g;
    }
    return t;
  }();
  return table[static_cast<unsigned char>(c)];
}

void silenceLibraryMessages() {
  static NullBuffer nowhere;
  std::cerr.rdbuf(&nowhere);
}

void fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace fuzz
