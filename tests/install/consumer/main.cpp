// Calls a library operation through the installed header and library.
#include <getChar.h>

#include <cstdio>

int main() {
  t_Alignments better, worse;
  better.valueA = 0.9;
  worse.valueA = 0.5;
  std::printf("%d %d\n", compareMyType(&better, &worse), compareMyType(&worse, &better));
  return 0;
}
