#include "training/run_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runs/aligner_names.h"
#include "training/genome.h"

namespace training {

const char kRunsHeader[] = "hash\tdata_set\taligner\toptions\tQ\tTC\tseconds\tstatus";

namespace {

std::string key(const std::string& hash, const runs::Configuration& c) {
  return hash + "\t" + configurationKey(c);
}

std::string number(double value, const char* format) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string clean(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool parseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0' && std::isfinite(*value);
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string formatRunLine(const RunRecord& r) {
  const bool valid = r.valid();
  return r.hash + "\t" + clean(r.dataSet) + "\t" + runs::alignerName(r.configuration.kind) + "\t" +
         clean(r.configuration.options) + "\t" + (valid ? number(r.q, "%.6g") : "NA") + "\t" +
         (valid ? number(r.tc, "%.6g") : "NA") + "\t" + number(r.seconds, "%.4f") + "\t" +
         clean(r.status) + "\n";
}

bool parseRunLine(const std::string& line, RunRecord* r, std::string* why) {
  const std::vector<std::string> f = splitTabs(line);
  if (f.size() != 8) {
    *why = std::to_string(f.size()) + " fields instead of 8";
    return false;
  }
  *r = RunRecord();
  r->hash = f[0];
  r->dataSet = f[1];
  int kind = 0;
  if (r->hash.empty() || !runs::parseAlignerName(f[2], &kind)) {
    *why = "no hash or an unknown aligner '" + f[2] + "'";
    return false;
  }
  r->configuration = runs::makeConfiguration(kind, f[3]);
  r->status = f[7];
  if (!parseNumber(f[6], &r->seconds) || r->seconds < 0) {
    *why = "seconds '" + f[6] + "' is not a number";
    return false;
  }
  if (r->valid()) {
    if (!parseNumber(f[4], &r->q) || !parseNumber(f[5], &r->tc) || r->q < 0 || r->q > 1 ||
        r->tc < 0 || r->tc > 1) {
      *why = "Q and TC of a run that is done must be numbers in [0, 1]";
      return false;
    }
  } else if (!r->timedOut() && !runs::isFailedStatus(r->status)) {
    *why = "unknown status '" + r->status + "'";
    return false;
  }
  return true;
}

namespace {

// The whole file from its start, whatever the descriptor's offset.
bool readWhole(int fd, const std::string& path, std::string* text, std::string* error) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text->size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = "cannot read '" + path + "': " + std::strerror(errno);
      return false;
    }
    if (n == 0) return true;
    text->append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace

RunCache::~RunCache() {
  if (fd_ >= 0) ::close(fd_);
}

bool RunCache::open(const std::string& path, bool load, std::vector<std::string>* warnings,
                    std::string* error) {
  path_ = path;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = "'" + path + "' is not a regular file";
    return false;
  }
  std::string text;
  if (!readWhole(fd_, path, &text, error)) return false;
  const std::string header = std::string(kRunsHeader) + "\n";
  if (text.empty()) {
    if (!writeAll(fd_, header) || ::fdatasync(fd_) != 0) {
      *error = "cannot write '" + path + "': " + std::strerror(errno);
      return false;
    }
    return true;
  }
  if (text.compare(0, header.size(), header) != 0) {
    *error = "'" + path + "' does not start with the runs header line; not appending to it";
    return false;
  }
  const size_t complete = text.rfind('\n') + 1;
  if (complete < text.size()) {
    warnings->push_back("'" + path + "': the last line was cut short (a stop while writing); " +
                        "dropped: " + text.substr(complete, 60));
    if (::ftruncate(fd_, static_cast<off_t>(complete)) != 0) {
      *error = "cannot cut the torn last line of '" + path + "': " + std::strerror(errno);
      return false;
    }
  }
  if (load) loadLines(text, header.size(), complete, warnings);
  return true;
}

void RunCache::loadLines(const std::string& text, size_t from, size_t complete,
                         std::vector<std::string>* warnings) {
  size_t start = from, lineNumber = 1;
  while (start < complete) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (line.empty()) continue;
    RunRecord record;
    std::string why;
    if (!parseRunLine(line, &record, &why)) {
      warnings->push_back("'" + path_ + "' line " + std::to_string(lineNumber) + ": " + why +
                          "; ignored");
      continue;
    }
    remember(record);
  }
}

void RunCache::remember(const RunRecord& record) {
  const std::string k = key(record.hash, record.configuration);
  auto it = index_.find(k);
  if (it != index_.end()) {
    records_[it->second] = record;
  } else {
    index_.emplace(k, records_.size());
    records_.push_back(record);
  }
}

const RunRecord* RunCache::find(const std::string& hash,
                                const runs::Configuration& configuration) const {
  auto it = index_.find(key(hash, configuration));
  return it == index_.end() ? nullptr : &records_[it->second];
}

std::vector<const RunRecord*> RunCache::runsOf(const std::string& hash) const {
  std::vector<const RunRecord*> out;
  for (const RunRecord& r : records_)
    if (r.hash == hash) out.push_back(&r);
  return out;
}

bool RunCache::append(const RunRecord& record, std::string* error) {
  const std::string line = formatRunLine(record);
  struct stat before;
  if (fd_ < 0 || ::fstat(fd_, &before) != 0) {
    *error = "cannot append to '" + path_ + "'";
    return false;
  }
  // One write of the whole line: O_APPEND keeps lines of concurrent writers whole.
  const ssize_t n = ::write(fd_, line.data(), line.size());
  const int cause = errno;
  if (n != static_cast<ssize_t>(line.size()) || ::fdatasync(fd_) != 0) {
    if (n > 0 && n != static_cast<ssize_t>(line.size())) {
      const int ignored = ::ftruncate(fd_, before.st_size);
      (void)ignored;
    }
    *error = "cannot append to '" + path_ +
             "': " + (n < 0 ? std::strerror(cause) : std::string("short write"));
    return false;
  }
  // Remember the run as the file now tells it (rounded numbers), so a
  // search continued later from the file sees exactly the same values.
  RunRecord stored;
  std::string why;
  remember(parseRunLine(line.substr(0, line.size() - 1), &stored, &why) ? stored : record);
  return true;
}

}  // namespace training
