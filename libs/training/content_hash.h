// A stable content hash of a benchmark data set, the key of its runs in
// runs.tsv: FNV-1a (64-bit) over the unaligned file's length as 8 bytes
// little-endian, its bytes, then the reference file's bytes, written as 16
// lower-case hex digits. Fixed here (not std::hash), so files written by one
// build or machine are read by another.
#ifndef TRAINING_CONTENT_HASH_H
#define TRAINING_CONTENT_HASH_H

#include <cstdint>
#include <string>

namespace training {

class Fnv1a64 {
 public:
  void add(const void* data, size_t size);
  void add(const std::string& text) { add(text.data(), text.size()); }
  uint64_t value() const { return state_; }

 private:
  uint64_t state_ = 0xcbf29ce484222325ULL;
};

std::string hex16(uint64_t value);

// The data set's key from the two files' contents.
std::string dataSetHash(const std::string& unalignedBytes, const std::string& referenceBytes);

}  // namespace training

#endif
