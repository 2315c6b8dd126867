// The floor of the extraction benchmark: creates N small files in a folder
// (open, write, close), and nothing else.
//   floor_files DIR N
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DIR N\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const long n = std::atol(argv[2]);
  const std::string body = ">record\nACDEFGHIKLMNPQRSTVWY\n";
  for (long i = 1; i <= n; ++i) {
    std::string path = dir + "/file" + std::to_string(i) + ".fasta";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ::write(fd, body.data(), body.size()) < 0 || ::close(fd) != 0) {
      std::perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
