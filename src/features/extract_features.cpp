// The data set extraction of both command-line modes: splits a FASTA data set
// into records, drops repeated sequences, writes each distinct record to a
// file of its own and prints its residue-group counts.
#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "features/line_reader.h"
#include "features/own_side_file.h"
#include "features/sequence_index.h"
#include "features/side_files.h"
#include "getChar.h"
#include "getChar/standard_output.h"

namespace {

// Appends `value` as an output stream writes a double by default (six
// significant digits, %g style). Whole numbers below 10^6, the common case of
// a residue count, take a shortcut with the same result.
void appendDefaultNumber(std::string& out, double value) {
  if (value >= 0 && value < 1e6 && value == static_cast<double>(static_cast<int64_t>(value))) {
    char digits[8];
    int64_t v = static_cast<int64_t>(value);
    int len = 0;
    do {
      digits[len++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v > 0);
    while (len > 0) out.push_back(digits[--len]);
    return;
  }
  char buf[32];
  int len = std::snprintf(buf, sizeof buf, "%g", value);
  out.append(buf, static_cast<size_t>(len));
}

bool isHeaderLike(std::string_view line) { return line.empty() || line[0] == '>'; }

// The reading state of one extraction.
class Extraction {
 public:
  // Handles one line of the data set.
  void addLine(std::string_view line) {
    if (isHeaderLike(line)) {
      if (open_) closeRecord();
      open_ = true;
      name_.assign(line.empty() ? std::string_view() : line.substr(1));
      sequence_.clear();
      return;
    }
    // A record without a name (opened by an empty line or by ">" alone, or
    // discarded) ignores its sequence lines.
    if (name_.empty()) return;
    if (line.find(' ') != std::string_view::npos) {
      name_.clear();  // a blank anywhere discards the record
      sequence_.clear();
      return;
    }
    sequence_.append(line);
  }

  void finish() {
    if (open_) closeRecord();
    if (files_) files_->closeCollected();
  }

 private:
  void closeRecord() {
    // NC is an int; wrap instead of overflowing on inputs above 2^31 residues.
    NC = static_cast<int>(static_cast<uint32_t>(NC) + static_cast<uint32_t>(sequence_.size()));
    featuresSequence(sequence_, static_cast<int>(slot_), sumLength_, sumSquares_, maxLength_,
                     minLength_, maxIndex_, minIndex_, groupCounts_);

    std::string_view firstName;
    if (firstNameOf_.findOrAdd(sequence_, name_, firstName)) {
      if (files_) {
        entry_.assign(">").append(name_).append(";>").append(firstName).push_back('\n');
        files_->append("r-sequences.fasta", entry_);
      }
    } else {
      if (files_) {
        fileName_.assign("sequence").append(boost::lexical_cast<std::string>(slot_ + 1));
        fileName_.append(".fasta");
        entry_.assign(">").append(name_).append("\n").append(sequence_).push_back('\n');
        files_->write(fileName_, entry_);
        entry_.assign(">").append(dir).append("/").append(fileName_).append("\n");
        entry_.append(sequence_).push_back('\n');
        files_->append("All-sequences.fasta", entry_);
      }
      entry_.clear();
      for (int g = 0; g < 5; ++g) {
        if (g > 0) entry_.push_back(',');
        appendDefaultNumber(entry_, groupCounts_[g]);
      }
      entry_.push_back('\n');
      writeStdoutNow(entry_);
      ++slot_;  // a repeat leaves its slot to the next record
    }
    for (double& c : groupCounts_) c = 0;
    sumLength_ = 0;
  }

  // No side files at all for an empty output folder: they would go to "/".
  std::unique_ptr<SideFiles> files_ = dir.empty() ? nullptr : std::make_unique<SideFiles>(dir);
  std::string entry_, fileName_;  // reused buffers
  bool open_ = false;             // a header-like line has been seen
  int64_t slot_ = 0;              // distinct records closed so far
  std::string name_;
  std::string sequence_;
  SequenceIndex firstNameOf_;

  double sumLength_ = 0, sumSquares_ = 0;
  int maxLength_ = -9999999, minLength_ = 9999999;
  int maxIndex_ = 0, minIndex_ = 0;
  double groupCounts_[5] = {0, 0, 0, 0, 0};
};

}  // namespace

SplitOutcome splitDataSet(const char* path) {
  LineReader reader(path);
  if (!reader.ok()) {
    std::cerr << "Error opening '" << path << "'. Bailing out." << std::endl;
    return SplitOutcome::kCannotOpen;
  }
  // Checked before anything is written: the run would truncate or grow the
  // file it is still reading, and lose the records not yet read.
  if (!dir.empty()) {
    const std::string own = findOwnSideFile(reader.fd(), path, dir);
    if (!own.empty()) {
      std::cerr << "Error: the data set '" << path << "' is the side file '" << dir << "/" << own
                << "' of this run; nothing written." << std::endl;
      return SplitOutcome::kOwnSideFile;
    }
  }
  std::cout.flush();  // count lines go straight to the file descriptor
  std::fflush(stdout);

  Extraction extraction;
  std::string_view line;
  // A data set that starts with a sequence line has no record to put it in:
  // the whole input is ignored.
  const bool records = reader.next(line) && isHeaderLike(line);
  if (records) {
    do {
      extraction.addLine(line);
    } while (reader.next(line));
  }
  // A read error is no end of the data set: the last record stays open, and
  // the failure takes the path of a data set that cannot be opened.
  if (reader.failed()) {
    std::cerr << "Error opening '" << path << "'. Bailing out." << std::endl;
    return SplitOutcome::kReadFailed;
  }
  if (records) extraction.finish();
  return SplitOutcome::kRead;
}

int extractFeatures(char* path) {
  switch (splitDataSet(path)) {
    case SplitOutcome::kRead:
      exitChecked(1);
    case SplitOutcome::kOwnSideFile:
      exitChecked(kOwnSideFileStatus);
    case SplitOutcome::kCannotOpen:
    case SplitOutcome::kReadFailed:
      break;
  }
  return -1;
}
