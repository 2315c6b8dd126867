#include <cmath>
#include <vector>

#include "selection_fixture.h"

using testing_support::capture;

namespace {

class OptionFileTest : public SelectionTest {
 protected:
  // Reads the file, checking that nothing goes to standard output.
  int read(const std::string& path, std::string* err = nullptr) {
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    int result = 0;
    auto out = capture([&] { result = readOptionFile(arg.data()); });
    EXPECT_EQ(out.out, "");
    if (err)
      *err = out.err;
    else
      EXPECT_EQ(out.err, "");
    return result;
  }
};

std::string line(const std::string& name, double f0,
                 const std::string& rest = "0;0;0;0;0;0;0;0;0;1;-g") {
  return name + ";" + std::to_string(f0) + ";" + rest + "\n";
}

TEST_F(OptionFileTest, FillsRowsFromRowZeroAndWidensBounds) {
  std::string path = writeTable("opt.txt",
                                "ref1;2;-1;3;4;5;6;7;8;9;10;3;-gapopen 1\n"
                                "ref2;5;-4;3;0;0;0;0;0;0;0;-2;\n"
                                "ref3;5;-2;1;0;0;0;0;0;0;0;7;x\n");
  EXPECT_EQ(read(path), 3);  // the number of rows added
  EXPECT_EQ(OF.n, 3);
  EXPECT_EQ(OF.rows[0].name, "ref1");
  EXPECT_EQ(OF.rows[0].options, "-gapopen 1");
  EXPECT_EQ(OF.rows[0].label, 3);
  EXPECT_EQ(OF.rows[1].label, -2);
  EXPECT_EQ(OF.rows[1].options, "");
  EXPECT_EQ(OF.rows[2].feature[1], -2.0);
  EXPECT_EQ(OF.max.feature[0], 5.0);
  EXPECT_EQ(OF.min.feature[0], 0.0);  // the starting bound 0 stays below every value
  EXPECT_EQ(OF.max.feature[1], 0.0);  // and above every negative one
  EXPECT_EQ(OF.min.feature[1], -4.0);
  EXPECT_EQ(OF.max.feature[9], 10.0);
  EXPECT_EQ(OF.max.name, "");
  EXPECT_EQ(OF.max.label, 0);

  // A second file appends after the first and widens further.
  std::string more = writeTable("more.txt", "ref4;9;0;0;0;0;0;0;0;0;0;0;y\n");
  EXPECT_EQ(read(more), 1);
  EXPECT_EQ(OF.n, 4);
  EXPECT_EQ(OF.rows[3].name, "ref4");
  EXPECT_EQ(OF.max.feature[0], 9.0);
}

TEST_F(OptionFileTest, FieldsAreCutAtEverySeparatorAndConvertedByPrefix) {
  std::string path = writeTable("opt.txt",
                                "a;;1.5e2x;abc; 7;nan;0;0;0;0;0;12abc;opts;extra;more\r\n"
                                "b;1;1;1;1;1;1;1;1;1;1; -9;-maxiters 2\r\n");
  EXPECT_EQ(read(path), 2);
  const t_DataSet& a = OF.rows[0];
  EXPECT_EQ(a.feature[0], 0.0);    // empty field between adjacent separators
  EXPECT_EQ(a.feature[1], 150.0);  // longest valid prefix
  EXPECT_EQ(a.feature[2], 0.0);    // no valid prefix
  EXPECT_EQ(a.feature[3], 7.0);    // leading blank skipped
  EXPECT_TRUE(std::isnan(a.feature[4]));
  EXPECT_EQ(OF.max.feature[4], 1.0);  // a NaN widens neither bound
  EXPECT_EQ(OF.min.feature[4], 0.0);
  EXPECT_EQ(a.label, 12);
  EXPECT_EQ(a.options, "opts");  // fields after the thirteenth are ignored
  EXPECT_EQ(OF.rows[1].label, -9);
  EXPECT_EQ(OF.rows[1].options, "-maxiters 2\r");  // a carriage return is kept
}

TEST_F(OptionFileTest, LastLineWithoutLineFeedIsRead) {
  EXPECT_EQ(read(writeTable("a.txt", line("x", 1) + "y;2;0;0;0;0;0;0;0;0;0;4;-z")), 2);
  EXPECT_EQ(OF.rows[1].options, "-z");
  EXPECT_EQ(read(writeTable("empty.txt", "")), 0);
  EXPECT_EQ(OF.n, 2);
}

TEST_F(OptionFileTest, ShortLinesAreSkippedWithAWarning) {
  std::string path =
      writeTable("short.txt", line("x", 1) + "\n" + "y;1;2;3;4;5;6;7;8;9;10;11\n" + line("z", 3));
  std::string err;
  EXPECT_EQ(read(path, &err), 2);
  EXPECT_EQ(OF.rows[1].name, "z");
  EXPECT_EQ(err, "Warning: '" + path +
                     "' line 2: 1 fields, 13 expected; line skipped.\n"
                     "Warning: '" +
                     path + "' line 3: 12 fields, 13 expected; line skipped.\n");
}

TEST_F(OptionFileTest, StopsWhenTheTableIsFull) {
  OF.n = 248;
  std::string path =
      writeTable("many.txt", line("a", 1) + line("b", 2) + line("c", 3) + line("d", 4));
  std::string err;
  EXPECT_EQ(read(path, &err), 2);
  EXPECT_EQ(OF.n, 250);
  EXPECT_EQ(OF.rows[249].name, "b");
  EXPECT_EQ(OF.max.feature[0], 2.0);  // the lines not read do not widen the bounds
  EXPECT_EQ(
      err,
      "Warning: '" + path +
          "' line 3: the feature table is full (250 rows); the rest of the file is not read.\n");
}

TEST_F(OptionFileTest, UnreadableFileIsReportedAndChangesNothing) {
  // A folder opens but cannot be read: a failure too, not an empty file.
  for (const std::string& path : {tmp_.file("missing.txt"), tmp_.path()}) {
    std::string err;
    EXPECT_EQ(read(path, &err), -1);
    EXPECT_EQ(err, "Error opening '" + path + "'. Bailing out.\n");
    EXPECT_EQ(OF.n, 0);
  }
}

TEST_F(OptionFileTest, ListingWritesTwoLinesPerRowInDefaultFormat) {
  EXPECT_EQ(capture([] { printOptionFile(); }).out, "");
  OF.n = 2;
  OF.rows[0].name = "set7.fa";
  setFeatures(0, {0.1234567, 1234567, -0.25, 0.000012, 0, 1, 2, 3, 4, 5});
  OF.rows[0].label = -3;
  OF.rows[0].options = "-gapopen 10";
  OF.rows[1].name = "r";
  EXPECT_EQ(capture([] { printOptionFile(); }).out,
            "set7.fa;0.123457;1.23457e+06;-0.25;1.2e-05;0;1;2;3;4;5;-3\n"
            "-gapopen 10\n"
            "r;0;0;0;0;0;0;0;0;0;0;0\n"
            "\n");
}

}  // namespace
