#include <string>

#include "selection_fixture.h"

using testing_support::capture;

namespace {

class FrontFileTest : public SelectionTest {
 protected:
  int read(const std::string& path, std::string* err = nullptr) {
    int result = 0;
    auto out = capture([&] { result = readFront(path); });
    EXPECT_EQ(out.out, "");
    if (err)
      *err = out.err;
    else
      EXPECT_EQ(out.err, "");
    return result;
  }
  static std::string entry(double o0, double o1, double o2, int kind, const std::string& opts) {
    return std::to_string(o0) + ";" + std::to_string(o1) + ";" + std::to_string(o2) + ";" +
           std::to_string(kind) + ";" + opts + "\n";
  }
};

TEST_F(FrontFileTest, EmptyFileResetsOnlyCountAndBest2) {
  FRONT.n = 3;
  FRONT.iBest0 = 7, FRONT.iBest1 = 8, FRONT.iBestSum = 9, FRONT.iBest2 = 5;
  EXPECT_EQ(read(writeTable("f", "")), 0);
  EXPECT_EQ(FRONT.n, 0);
  EXPECT_EQ(FRONT.iBest2, -1);
  EXPECT_EQ(FRONT.iBest0, 7);
  EXPECT_EQ(FRONT.iBest1, 8);
  EXPECT_EQ(FRONT.iBestSum, 9);
}

TEST_F(FrontFileTest, EntriesInFileOrderWithStrictBests) {
  // Objectives (0, 1): (5, 4), (3, 2), (3, 1), (4, 1); sums 9, 5, 4, 5.
  std::string path =
      writeTable("f", "5;4;0.5;0;-a;ignored\n3;2;0.2;1;\n3;1;0.2;2;-b\r\n4;1;0.9;3;-c");
  EXPECT_EQ(read(path), 4);  // the number of entries; the last line has no line feed
  EXPECT_EQ(FRONT.n, 4);
  EXPECT_EQ(FRONT.entry[0].options, "-a");
  EXPECT_EQ(FRONT.entry[1].alignerKind, 1);
  EXPECT_EQ(FRONT.entry[2].options, "-b\r");
  EXPECT_EQ(FRONT.entry[3].options, "-c");
  EXPECT_EQ(FRONT.entry[3].objective[2], 0.9);
  EXPECT_EQ(FRONT.iBest0, 1);    // first of the two smallest objective[0]
  EXPECT_EQ(FRONT.iBest1, 2);    // first of the two smallest objective[1]
  EXPECT_EQ(FRONT.iBest2, 1);    // first of the two smallest objective[2]
  EXPECT_EQ(FRONT.iBestSum, 2);  // smallest objective[0] + objective[1]
}

TEST_F(FrontFileTest, MuscleLineIsRecordedButItsEntryIsReused) {
  std::string path =
      writeTable("f", entry(1, 1, 5, 0, "-a") + entry(1, 1, 1, 4, "-m") + entry(2, 2, 3, 1, "-d"));
  EXPECT_EQ(read(path), 2);
  EXPECT_EQ(FRONT.entry[1].options, "-d");
  EXPECT_EQ(FRONT.entry[1].alignerKind, 1);
  EXPECT_EQ(FRONT.iBest2, 1);  // set by the MUSCLE line, now naming the next entry
}

TEST_F(FrontFileTest, SwitchedOffAlignersLeaveNoEntry) {
  noKALIGN = 1;
  std::string path =
      writeTable("f", entry(9, 9, 9, 0, "-a") + entry(1, 1, 1, 2, "-k") + entry(8, 8, 8, 3, "-m"));
  EXPECT_EQ(read(path), 2);
  EXPECT_EQ(FRONT.entry[1].options, "-m");
  EXPECT_EQ(FRONT.entry[1].alignerKind, 3);
  EXPECT_EQ(FRONT.iBest0, 1);
  EXPECT_EQ(FRONT.iBest2, 1);

  noKALIGN = 0;
  noMAFFT = 1;
  noMUSCLE = 1;
  path =
      writeTable("g", entry(1, 1, 1, 3, "-m") + entry(1, 1, 1, 4, "-u") + entry(1, 1, 1, 2, "-k"));
  EXPECT_EQ(read(path), 1);
  EXPECT_EQ(FRONT.entry[0].options, "-k");
}

TEST_F(FrontFileTest, ShortLinesAreSkippedWithAWarning) {
  std::string path = writeTable("f", "\n1;2;3;0\n" + entry(1, 1, 1, 0, "-a"));
  std::string err;
  EXPECT_EQ(read(path, &err), 1);
  EXPECT_EQ(err, "Warning: '" + path +
                     "' line 1: 1 fields, 5 expected; line skipped.\n"
                     "Warning: '" +
                     path + "' line 2: 4 fields, 5 expected; line skipped.\n");
}

TEST_F(FrontFileTest, StopsOnlyWhenALineNeedsEntry250) {
  std::string lines;
  for (int i = 0; i < 249; ++i) lines += entry(i, 1, 1, 0, "-e");
  lines += entry(1, 1, 1, 4, "-m");     // line 250: not counted
  lines += entry(1, 1, 1, 1, "-last");  // line 251: fills entry 249
  std::string path = writeTable("f", lines);
  EXPECT_EQ(read(path), 250);
  EXPECT_EQ(FRONT.entry[249].options, "-last");

  path = writeTable("g", lines + entry(1, 1, 1, 4, "-m") + entry(1, 1, 1, 0, "-x"));
  std::string err;
  EXPECT_EQ(read(path, &err), 250);
  EXPECT_EQ(
      err,
      "Warning: '" + path +
          "' line 252: the front table is full (250 entries); the rest of the file is not read.\n");
}

TEST_F(FrontFileTest, UnreadableFileIsReportedAndChangesNothing) {
  FRONT.n = 4;
  FRONT.iBest2 = 3;
  // A folder opens but cannot be read: a failure too, not an empty file.
  for (const std::string& path : {tmp_.file("missing"), tmp_.path()}) {
    std::string err;
    EXPECT_EQ(read(path, &err), -1);
    EXPECT_EQ(err, "Error opening '" + path + "'. Bailing out.\n");
    EXPECT_EQ(FRONT.n, 4);
    EXPECT_EQ(FRONT.iBest2, 3);
  }
}

}  // namespace
