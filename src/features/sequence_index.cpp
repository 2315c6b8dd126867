#include "features/sequence_index.h"

#include <cstring>
#include <functional>

namespace {
const size_t kFirstSlots = 1024;
}  // namespace

bool SequenceIndex::findOrAdd(std::string_view sequence, std::string_view name,
                              std::string_view& firstName) {
  if ((entries_.size() + 1) * 2 > slots_.size()) grow();  // load stays below 1/2
  const uint64_t hash = std::hash<std::string_view>()(sequence);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const size_t slot = slots_[i];
    if (slot == 0) {
      const char* bytes = store(sequence, name);
      entries_.push_back({hash, bytes, sequence.size(), name.size()});
      slots_[i] = entries_.size();
      return false;
    }
    const Entry& e = entries_[slot - 1];
    if (e.hash == hash && e.sequenceLength == sequence.size() &&
        (sequence.empty() || std::memcmp(e.bytes, sequence.data(), sequence.size()) == 0)) {
      firstName = std::string_view(e.bytes + e.sequenceLength, e.nameLength);
      return true;
    }
  }
}

const char* SequenceIndex::store(std::string_view sequence, std::string_view name) {
  const size_t need = sequence.size() + name.size();
  if (need > blockLeft_ || blockFree_ == nullptr) {
    const size_t size = need > nextBlockSize_ ? need : nextBlockSize_;
    if (nextBlockSize_ < kLargestBlockSize) nextBlockSize_ *= 2;
    blocks_.emplace_back(new char[size]);
    blockFree_ = blocks_.back().get();
    blockLeft_ = size;
  }
  char* bytes = blockFree_;
  if (!sequence.empty()) std::memcpy(bytes, sequence.data(), sequence.size());
  if (!name.empty()) std::memcpy(bytes + sequence.size(), name.data(), name.size());
  blockFree_ += need;
  blockLeft_ -= need;
  return bytes;
}

void SequenceIndex::grow() {
  std::vector<size_t> slots(slots_.empty() ? kFirstSlots : slots_.size() * 2, 0);
  const size_t mask = slots.size() - 1;
  for (size_t e = 0; e < entries_.size(); ++e) {
    size_t i = entries_[e].hash & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = e + 1;
  }
  slots_.swap(slots);
}
