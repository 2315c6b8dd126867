// Remembers each distinct sequence of a data set with the name of the first
// record that carried it.
#ifndef GETCHAR_SEQUENCE_INDEX_H
#define GETCHAR_SEQUENCE_INDEX_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// An open-addressing hash table over an append-only arena: one allocation per
// few megabytes instead of a node and two strings per record, which keeps
// both the time and the memory of a large data set down. Sequences compare as
// byte strings.
class SequenceIndex {
 public:
  // If `sequence` is known, stores the name recorded with it in `firstName`
  // and returns true. Otherwise records `name` for it and returns false.
  // `firstName` stays valid as long as the index.
  bool findOrAdd(std::string_view sequence, std::string_view name, std::string_view& firstName);

  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    uint64_t hash;
    const char* bytes;  // the sequence, then the name, in the arena
    size_t sequenceLength;
    size_t nameLength;
  };

  const char* store(std::string_view sequence, std::string_view name);
  void grow();

  std::vector<Entry> entries_;
  std::vector<size_t> slots_;  // entry index + 1; 0 marks a free slot
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* blockFree_ = nullptr;
  size_t blockLeft_ = 0;
  // Arena blocks double from 64 KiB to 4 MiB: a small data set takes little
  // memory, a large one few allocations.
  static constexpr size_t kFirstBlockSize = size_t{64} << 10;
  static constexpr size_t kLargestBlockSize = size_t{4} << 20;
  size_t nextBlockSize_ = kFirstBlockSize;
};

#endif
