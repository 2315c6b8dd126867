#include "features/record_stream_stats.h"

#include <cstring>

#include "features/residue_groups.h"

void RecordStreamStats::addLine(std::string_view line) {
  if (line.empty() || line[0] == '>') {
    if (records_ > 0) closeRecord();
    ++records_;
    named_ = line.size() > 1;
    return;
  }
  if (!named_) return;
  if (std::memchr(line.data(), ' ', line.size()) != nullptr) {
    named_ = false;
    length_ = 0;
    for (uint64_t& c : counts_) c = 0;
    return;
  }
  length_ += line.size();
  countResidueGroups(line.data(), line.size(), counts_);
}

void RecordStreamStats::finish() {
  if (records_ > 0) closeRecord();
}

void RecordStreamStats::closeRecord() {
  const double length = static_cast<double>(length_);
  sumLength_ += length;
  // The product of two exact doubles rounds once, like the exact integer
  // square converted to double, and cannot overflow.
  sumSquares_ += length * length;
  for (int g = 0; g < 5; ++g) {
    groupCounts_[g] += static_cast<double>(counts_[g]);
    counts_[g] = 0;
  }
  length_ = 0;
  named_ = false;
}
