// Feature row of a whole data set, read as a stream: memory does not grow
// with the file or its records.
#include <climits>
#include <cmath>
#include <iostream>
#include <string>

#include "features/line_reader.h"
#include "features/record_stream_stats.h"
#include "getChar.h"
#include "getChar/base_name.h"

int extractFeatures2(char* path) {
  LineReader reader(path);
  if (!reader.ok()) {
    std::cerr << "Error opening '" << path << "'. Bailing out." << std::endl;
    return -1;
  }
  // Check before reading: a full table would waste the whole read.
  if (OF.n < 0 || OF.n >= kFeatureRows) {
    std::cerr << "Error: the feature table is full (" << kFeatureRows
              << " rows); no row added for '" << path << "'." << std::endl;
    return -1;
  }

  RecordStreamStats stats;
  std::string_view line;
  while (reader.next(line)) stats.addLine(line);
  if (reader.failed()) {  // a read error is no end of the data set
    std::cerr << "Error opening '" << path << "'. Bailing out." << std::endl;
    return -1;
  }
  stats.finish();

  const int64_t records = stats.records();
  if (records == 0) {
    // No mean or deviation exists: a row of NaN would poison normalisation.
    std::cerr << "Warning: '" << path << "' holds no sequence record; no feature row added."
              << std::endl;
    return -1;
  }

  const double n = static_cast<double>(records);
  const double mean = stats.sumLength() / n;
  // NaN when rounding makes the radicand negative.
  const double sd = std::sqrt(stats.sumSquares() / n - mean * mean);

  t_DataSet& row = OF.rows[OF.n];
  row.name = baseName(path);
  row.feature[0] = n;
  row.feature[1] = mean;
  row.feature[2] = sd;
  row.feature[3] = 0.0;
  row.feature[4] = 0.0;
  for (int g = 0; g < 5; ++g) row.feature[5 + g] = stats.groupCounts()[g] / n;
  row.options.clear();
  ++OF.n;

  for (int k = 0; k < 10; ++k) {
    OF.max.feature[k] = row.feature[k];
    OF.min.feature[k] = row.feature[k];
  }
  // More records than an int holds (over 2^31 lines) saturate the count.
  nSequencesInput = records > INT_MAX ? INT_MAX : static_cast<int>(records);
  return 0;
}
