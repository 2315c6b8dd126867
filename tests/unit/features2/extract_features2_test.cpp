// The streaming feature extraction: reading rules, the row it adds, its
// failures, and agreement with featuresSequence over joined records.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "getChar.h"
#include "test_support.h"

namespace {

using testing_support::capture;
using testing_support::Captured;
using testing_support::TempDir;
using testing_support::writeFile;

class ExtractFeatures2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    OF = t_OF{};
    nSequencesInput = 0;
    NC = 0;
  }
  void TearDown() override { SetUp(); }

  // Writes content to a file in the temporary directory and extracts it.
  int extract(const std::string& content, const std::string& name = "set.fasta") {
    path_ = dir_.file(name);
    writeFile(path_, content);
    std::vector<char> arg(path_.begin(), path_.end());
    arg.push_back('\0');
    err_ = capture([&] { result_ = extractFeatures2(arg.data()); }).err;
    return result_;
  }
  const double* row() const { return OF.rows[OF.n - 1].feature; }

  TempDir dir_;
  std::string path_;
  std::string err_;
  int result_ = 0;
};

TEST_F(ExtractFeatures2Test, TwoRecordsFillOneRow) {
  OF.rows[0].label = 7;
  OF.rows[0].options = "stale";
  ASSERT_EQ(extract(">first\nAC\nGT\n>second\nACG\n"), 0);
  EXPECT_EQ(err_, "");
  ASSERT_EQ(OF.n, 1);
  const t_DataSet& r = OF.rows[0];
  EXPECT_EQ(r.name, "set.fasta");
  EXPECT_EQ(r.options, "");
  EXPECT_EQ(r.label, 7);
  EXPECT_EQ(r.feature[0], 2.0);
  EXPECT_EQ(r.feature[1], 3.5);
  EXPECT_EQ(r.feature[2], 0.5);
  EXPECT_EQ(r.feature[3], 0.0);
  EXPECT_EQ(r.feature[4], 0.0);
  // A,C,G,T,A,C,G: group 2 has T; group 3 has C,G,C,G; group 4 has A,A.
  EXPECT_EQ(r.feature[5], 0.0);
  EXPECT_EQ(r.feature[6], 0.0);
  EXPECT_EQ(r.feature[7], 0.5);
  EXPECT_EQ(r.feature[8], 2.0);
  EXPECT_EQ(r.feature[9], 1.0);
  EXPECT_EQ(nSequencesInput, 2);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(OF.max.feature[k], r.feature[k]);
    EXPECT_EQ(OF.min.feature[k], r.feature[k]);
  }
  EXPECT_EQ(OF.max.name, "");
  EXPECT_EQ(NC, 0);
}

TEST_F(ExtractFeatures2Test, LastLineWithoutLineFeedIsKept) {
  ASSERT_EQ(extract(">first\nAC\nGT\n>second\nACG"), 0);
  EXPECT_EQ(row()[0], 2.0);
  EXPECT_EQ(row()[1], 3.5);
  EXPECT_EQ(row()[2], 0.5);

  // A header as the unterminated last line still opens a record.
  ASSERT_EQ(extract(">first\nACGT\n>second"), 0);
  EXPECT_EQ(row()[0], 2.0);
  EXPECT_EQ(row()[1], 2.0);
}

TEST_F(ExtractFeatures2Test, RecordsThatCountWithLengthZero) {
  // An empty line opens a record; a line of blanks discards the record it
  // is in; so does a space inside a sequence line, even after good lines.
  ASSERT_EQ(extract(">a\nAAAA\n\n>b\n   \nCCCC\n>c\nGG\nGG GG\nGG\n>d\nAAAA\n"), 0);
  EXPECT_EQ(row()[0], 5.0);
  EXPECT_EQ(row()[1], 8.0 / 5.0);
  EXPECT_EQ(row()[9], 8.0 / 5.0);
  EXPECT_EQ(row()[8], 0.0);
}

TEST_F(ExtractFeatures2Test, IgnoredSequenceLines) {
  // Before the first header, and in a record opened by ">" alone or by an
  // empty line.
  ASSERT_EQ(extract("KKKK\nDD\n>\nRRRR\n\nEE\n>x\nW\n"), 0);
  EXPECT_EQ(row()[0], 3.0);
  EXPECT_EQ(row()[1], 1.0 / 3.0);
  EXPECT_EQ(row()[5], 0.0);
  EXPECT_EQ(row()[6], 0.0);
  EXPECT_EQ(row()[9], 1.0 / 3.0);
}

TEST_F(ExtractFeatures2Test, BytesOutsideTheGroupsCountInTheLength) {
  // Lower case, gaps, X and a carriage return are kept in the length.
  ASSERT_EQ(extract(">a\r\nRHK-DE\r\nacgtX\r\n>b\nRHK-DE\n"), 0);
  EXPECT_EQ(row()[1], (13.0 + 6.0) / 2.0);
  EXPECT_EQ(row()[5], 3.0);
  EXPECT_EQ(row()[6], 2.0);
  EXPECT_EQ(row()[7], 0.0);
}

TEST_F(ExtractFeatures2Test, RepeatedSequencesCountAndNothingIsWritten) {
  ASSERT_EQ(extract(">a\nMKV\n>b\nMKV\n"), 0);
  EXPECT_EQ(row()[0], 2.0);
  EXPECT_EQ(row()[2], 0.0);
  EXPECT_EQ(testing_support::readFile(dir_.file("set.fasta")), ">a\nMKV\n>b\nMKV\n");
}

TEST_F(ExtractFeatures2Test, EachCallAppendsARowAndResetsTheRange) {
  ASSERT_EQ(extract(">a\nAAAAAAAA\n", "one.fa"), 0);
  ASSERT_EQ(extract(">a\nKK\n>b\nKK\n>c\nKK\n", "two.fa"), 0);
  ASSERT_EQ(OF.n, 2);
  EXPECT_EQ(OF.rows[0].name, "one.fa");
  EXPECT_EQ(OF.rows[1].name, "two.fa");
  EXPECT_EQ(nSequencesInput, 3);
  EXPECT_EQ(OF.max.feature[0], 3.0);
  EXPECT_EQ(OF.min.feature[1], 2.0);
}

TEST_F(ExtractFeatures2Test, ManyRecordsBeyondAHundredThousand) {
  std::string content;
  for (int i = 0; i < 120000; ++i) content += ">s\nDE\n";
  ASSERT_EQ(extract(content), 0);
  EXPECT_EQ(row()[0], 120000.0);
  EXPECT_EQ(nSequencesInput, 120000);
  EXPECT_EQ(row()[6], 2.0);
}

TEST_F(ExtractFeatures2Test, UnreadableFileIsReported) {
  OF.n = 3;
  nSequencesInput = 11;
  // A folder opens but cannot be read: a failure too, not an empty data set.
  for (std::string path : {std::string("/nonexistent-dir/data.fa"), dir_.path()}) {
    const Captured c = capture([&] { EXPECT_EQ(extractFeatures2(path.data()), -1); });
    EXPECT_EQ(c.err, "Error opening '" + path + "'. Bailing out.\n");
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(OF.n, 3);
    EXPECT_EQ(nSequencesInput, 11);
  }
}

TEST_F(ExtractFeatures2Test, FileWithoutRecordsAddsNoRow) {
  nSequencesInput = 11;
  for (const std::string content : {"", "ACGT\nKKK\n", "MKV"}) {
    EXPECT_EQ(extract(content, "empty.fa"), -1);
    EXPECT_EQ(err_, "Warning: '" + path_ + "' holds no sequence record; no feature row added.\n");
    EXPECT_EQ(OF.n, 0);
    EXPECT_EQ(OF.rows[0].name, "");
    EXPECT_EQ(OF.max.feature[0], 0.0);
    EXPECT_EQ(nSequencesInput, 11);
  }
}

TEST_F(ExtractFeatures2Test, FullTableAddsNoRow) {
  OF.n = kFeatureRows;
  nSequencesInput = 11;
  OF.max.feature[0] = 9.0;
  EXPECT_EQ(extract(">a\nMKV\n"), -1);
  EXPECT_EQ(err_,
            "Error: the feature table is full (250 rows); no row added for '" + path_ + "'.\n");
  EXPECT_EQ(OF.n, kFeatureRows);
  EXPECT_EQ(OF.max.feature[0], 9.0);
  EXPECT_EQ(nSequencesInput, 11);

  OF.n = kFeatureRows - 1;
  EXPECT_EQ(extract(">a\nMKV\n"), 0);
  EXPECT_EQ(OF.rows[kFeatureRows - 1].feature[0], 1.0);
}

// The row as featuresSequence gives it over records kept whole.
std::vector<double> rowFromWholeRecords(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  double sumLength = 0, sumSquares = 0, groups[5] = {0, 0, 0, 0, 0};
  int maxLength = -9999999, minLength = 9999999, maxIndex = 0, minIndex = 0;
  std::vector<std::string> names, sequences;
  int slot = -1;
  auto close = [&] {
    featuresSequence(sequences[slot], slot, sumLength, sumSquares, maxLength, minLength, maxIndex,
                     minIndex, groups);
  };
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '>') {
      if (slot >= 0) close();
      ++slot;
      names.push_back(line.empty() ? "" : line.substr(1));
      sequences.push_back("");
    } else if (slot >= 0 && !names[slot].empty()) {
      if (line.find(' ') != std::string::npos) {
        names[slot].clear();
        sequences[slot].clear();
      } else {
        sequences[slot] += line;
      }
    }
  }
  if (slot >= 0) close();
  const double n = slot + 1;
  const double mean = sumLength / n;
  std::vector<double> row = {n, mean, std::sqrt(sumSquares / n - mean * mean), 0, 0};
  for (double g : groups) row.push_back(g / n);
  return row;
}

TEST_F(ExtractFeatures2Test, EqualsWholeRecordStatisticsOnRandomFiles) {
  // Mixed lines, some far longer than a read chunk, so lines and records
  // cross chunk boundaries.
  std::mt19937 gen(2024);
  const std::string alphabet = "ACDEFGHIKLMNPQRSTVWYUBXZacgt-*\r";
  for (int file = 0; file < 4; ++file) {
    std::string content;
    while (content.size() < (file == 3 ? 3u << 20 : 40000u)) {
      const unsigned kind = gen() % 100;
      if (kind < 12) {
        content += ">rec" + std::to_string(gen() % 1000);
      } else if (kind < 14) {
        content += ">";
      } else if (kind < 16) {
        // empty line
      } else {
        size_t len = gen() % 120;
        if (kind == 99) len = 1500000;
        for (size_t i = 0; i < len; ++i) content += alphabet[gen() % alphabet.size()];
        if (kind < 18) content += " ";
      }
      content += '\n';
    }
    if (file % 2) content.pop_back();  // no final line feed

    SetUp();
    ASSERT_EQ(extract(content), 0);
    const std::vector<double> expected = rowFromWholeRecords(content);
    for (int k = 0; k < 10; ++k)
      EXPECT_EQ(row()[k], expected[k]) << "file " << file << " feature " << k;
    EXPECT_EQ(nSequencesInput, static_cast<int>(expected[0]));
  }
}

}  // namespace
