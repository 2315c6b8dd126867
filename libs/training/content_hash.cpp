#include "training/content_hash.h"

#include <cstdio>

namespace training {

void Fnv1a64::add(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    state_ ^= bytes[i];
    state_ *= 0x100000001b3ULL;
  }
}

std::string hex16(uint64_t value) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
  return buffer;
}

std::string dataSetHash(const std::string& unalignedBytes, const std::string& referenceBytes) {
  Fnv1a64 hash;
  unsigned char length[8];
  uint64_t n = unalignedBytes.size();
  for (unsigned char& b : length) {
    b = static_cast<unsigned char>(n & 0xff);
    n >>= 8;
  }
  hash.add(length, sizeof length);
  hash.add(unalignedBytes);
  hash.add(referenceBytes);
  return hex16(hash.value());
}

}  // namespace training
