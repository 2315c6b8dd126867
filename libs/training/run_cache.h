// runs.tsv: every run of the training, one line each, kept across stops.
//
// Header line, then one line per run, tab-separated:
//   hash  data_set  aligner  options  Q  TC  seconds  status
// hash is the data set's content hash (content_hash.h), aligner the display
// name (CLUSTALW ... MUSCLE), options the normalised options text; Q and TC
// are NA unless status is "done"; status is "done", "failed (<why>)" or
// "timed out". A run is known by (hash, aligner, options): line order does
// not matter, and when a key appears twice the later line counts. Lines are
// appended one write each, flushed to disk as each run ends, so a killed
// training loses at most the line being written; that torn last line is
// cut away when the file is opened again.
#ifndef TRAINING_RUN_CACHE_H
#define TRAINING_RUN_CACHE_H

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "runs/configuration.h"
#include "runs/run_verdict.h"

namespace training {

struct RunRecord {
  std::string hash;
  std::string dataSet;
  runs::Configuration configuration;
  double q = 0, tc = 0;  // meaningful when valid()
  double seconds = 0;
  std::string status;

  bool valid() const { return status == runs::kStatusDone; }
  bool timedOut() const { return status == runs::kStatusTimedOut; }
};

extern const char kRunsHeader[];

std::string formatRunLine(const RunRecord& record);  // with the line end
// Parses one line (without its line end); fails with the reason in *why.
bool parseRunLine(const std::string& line, RunRecord* record, std::string* why);

class RunCache {
 public:
  RunCache() = default;
  ~RunCache();
  RunCache(const RunCache&) = delete;
  RunCache& operator=(const RunCache&) = delete;

  // Opens (creating it with its header when missing) the file for
  // appending. With load, reads the runs already there: a last line without
  // a line end is cut away (a warning says so), other unreadable lines are
  // warned about and ignored. A file whose first line is not the header is
  // refused, so nothing else is ever appended to.
  bool open(const std::string& path, bool load, std::vector<std::string>* warnings,
            std::string* error);

  const RunRecord* find(const std::string& hash, const runs::Configuration& configuration) const;
  // Every run of one data set, in no particular order.
  std::vector<const RunRecord*> runsOf(const std::string& hash) const;

  // Appends the line with one write and flushes it to disk; then the run
  // counts as known. A failed or short write is cut back off the file.
  bool append(const RunRecord& record, std::string* error);

  size_t size() const { return records_.size(); }
  const std::string& path() const { return path_; }

 private:
  void remember(const RunRecord& record);
  // Remembers the runs of text's lines from the offset `from` up to
  // `complete` (the end of its last whole line); warns about bad lines.
  void loadLines(const std::string& text, size_t from, size_t complete,
                 std::vector<std::string>* warnings);

  std::string path_;
  int fd_ = -1;
  std::deque<RunRecord> records_;                  // stable addresses for find()
  std::unordered_map<std::string, size_t> index_;  // key -> records_
};

}  // namespace training

#endif
