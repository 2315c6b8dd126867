// Data-set statistics gathered line by line, without keeping any record.
#ifndef GETCHAR_RECORD_STREAM_STATS_H
#define GETCHAR_RECORD_STREAM_STATS_H

#include <cstdint>
#include <string_view>

// Splits a FASTA data set into records as its lines come and sums, over all
// records, the length, the squared length and the five residue-group counts.
// The sums equal those of featuresSequence called once per joined record, in
// record order.
//
// Line rules: an empty line or one starting with '>' opens a record (a name
// of its own only if the line is longer than ">"); other lines extend the open
// record if it has a name, and a line with a space discards the record, which
// still counts, with length 0. Lines before the first record are ignored.
class RecordStreamStats {
 public:
  void addLine(std::string_view line);
  // Closes the last record; call once after the last line.
  void finish();

  int64_t records() const { return records_; }
  double sumLength() const { return sumLength_; }
  double sumSquares() const { return sumSquares_; }
  const double* groupCounts() const { return groupCounts_; }

 private:
  void closeRecord();

  int64_t records_ = 0;
  bool named_ = false;   // the open record has a name and was not discarded
  uint64_t length_ = 0;  // of the open record
  uint64_t counts_[5] = {0, 0, 0, 0, 0};

  double sumLength_ = 0.0;
  double sumSquares_ = 0.0;
  double groupCounts_[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
};

#endif
