// The option file: one reference data set per line, 13 ";"-separated fields
// (name, ten features, label, aligner options).
#include <iostream>
#include <string>
#include <vector>

#include "getChar.h"
#include "selection/table_text.h"

namespace {

const size_t kOptionFields = 13;

// Fills row r of OF from the fields of one line and widens max and min.
void storeOptionRow(int r, const std::vector<std::string>& fields) {
  t_DataSet& row = OF.rows[r];
  row.name = fields[0];
  for (int k = 0; k < 10; ++k) {
    const double value = fieldToDouble(fields[k + 1]);
    row.feature[k] = value;
    // Strict tests: a NaN is stored but widens neither bound.
    if (value > OF.max.feature[k]) OF.max.feature[k] = value;
    if (value < OF.min.feature[k]) OF.min.feature[k] = value;
  }
  row.label = fieldToInt(fields[11]);
  row.options = fields[12];
}

}  // namespace

int readOptionFile(char* path) {
  TableReader table(path, kOptionFields);
  if (!table.opened()) return -1;
  // A read error leaves the table as it was, as a file that cannot be opened.
  const int n = OF.n;
  const t_DataSet max = OF.max, min = OF.min;
  int added = 0;
  std::vector<std::string> fields;
  while (table.next(fields)) {
    if (OF.n >= kFeatureRows) {
      table.reportFull("feature table", "250 rows");
      break;
    }
    storeOptionRow(OF.n, fields);
    ++OF.n;
    ++added;
  }
  if (table.failed()) {
    OF.n = n;
    OF.max = max;
    OF.min = min;
    return -1;
  }
  return added;
}

void printOptionFile() {
  for (int r = 0; r < OF.n && r < kFeatureRows; ++r) {
    const t_DataSet& row = OF.rows[r];
    std::cout << row.name;
    for (int k = 0; k < 10; ++k) std::cout << ";" << row.feature[k];
    std::cout << ";" << row.label << std::endl;
    std::cout << row.options << std::endl;
  }
}
