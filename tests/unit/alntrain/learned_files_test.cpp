// The front and the reference table as the library's readers take them back.
#include "alntrain/learned_files.h"

#include <gtest/gtest.h>

#include "getChar.h"
#include "test_support.h"

namespace alntrain {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

training::Individual individual(int kind, const std::string& options, double q, double tc,
                                double seconds) {
  training::Individual ind;
  ind.configuration = runs::makeConfiguration(kind, options);
  ind.fitness.objectives[0] = 1 - q;
  ind.fitness.objectives[1] = 1 - tc;
  ind.fitness.objectives[2] = seconds;
  return ind;
}

// Writes the front, reads it back with readFront, and returns the three
// entries the advisor takes: most accurate, best Q + TC, fastest.
std::vector<std::string> bestEntries(const std::vector<training::Individual>& evaluated,
                                     size_t* lines = nullptr) {
  std::vector<std::string> warnings;
  const std::vector<training::Individual> front =
      frontFileOrder(paretoFront(evaluated, &warnings), &warnings);
  if (lines) *lines = front.size();
  TempDir dir;
  writeFile(dir.file("front.txt"), formatFront(front));
  FRONT = t_Front();
  noMAFFT = noKALIGN = noMUSCLE = 0;
  EXPECT_GE(readFront(dir.file("front.txt")), 0);
  std::vector<std::string> out;
  for (int index : {FRONT.iBest0, FRONT.iBestSum, FRONT.iBest2}) {
    const t_FrontEntry& e = FRONT.entry[index];
    out.push_back(std::to_string(e.alignerKind) + " " + e.options);
  }
  return out;
}

TEST(LearnedFiles, TheFrontReaderFindsTheBestEntriesWhateverTheMuscleLines) {
  const training::Individual accurate = individual(MAFFT, "--localpair", 0.70, 0.50, 10);
  const training::Individual balanced = individual(MAFFT, "", 0.65, 0.60, 2);
  const training::Individual fast = individual(KALIGN, "", 0.50, 0.40, 0.1);
  const training::Individual dominated = individual(CLUSTALW, "", 0.40, 0.30, 5);
  const training::Individual failed = [] {
    training::Individual i = individual(DIALIGNTX, "", 0.99, 0.99, 0.01);
    i.fitness.failures = 1;
    return i;
  }();
  size_t lines = 0;
  EXPECT_EQ(bestEntries({accurate, balanced, fast, dominated, failed}, &lines),
            (std::vector<std::string>{"3 --localpair", "3 ", "2 "}));
  EXPECT_EQ(lines, 3u);

  // MUSCLE lines that would hide each other: one holds each role.
  const training::Individual muscleAccurate = individual(MUSCLE, "-maxiters 16", 0.80, 0.55, 3);
  const training::Individual muscleBalanced = individual(MUSCLE, "-maxiters 8", 0.79, 0.70, 2.5);
  const training::Individual muscleFast = individual(MUSCLE, "-maxiters 1", 0.45, 0.35, 0.05);
  const training::Individual muscleOther = individual(MUSCLE, "-diags", 0.78, 0.56, 1.0);
  EXPECT_EQ(bestEntries({muscleAccurate, accurate, balanced, fast, muscleFast, muscleBalanced,
                         muscleOther}),
            (std::vector<std::string>{"4 -maxiters 16", "4 -maxiters 16", "2 "}));
  // One MUSCLE role only: it is kept, with other MUSCLE lines before it.
  EXPECT_EQ(bestEntries({muscleOther, muscleBalanced, accurate, fast}),
            (std::vector<std::string>{"4 -maxiters 8", "4 -maxiters 8", "2 "}));
  EXPECT_EQ(bestEntries({muscleFast, accurate}),
            (std::vector<std::string>{"3 --localpair", "3 --localpair", "4 -maxiters 1"}));
}

TEST(LearnedFiles, TableLinesReadBackByTheOptionFileReader) {
  training::BenchmarkSet a, b;
  a.name = "sim001";
  a.hash = "h1";
  b.name = "BB11001";
  b.hash = "h2";
  for (int k = 0; k < 10; ++k) {
    a.features[k] = k * 1.5;
    b.features[k] = 1.0 / (k + 3);
  }
  training::RunCache cache;
  TempDir dir;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(cache.open(dir.file("runs.tsv"), true, &warnings, &error));
  auto add = [&](const std::string& hash, int kind, const std::string& options, double q,
                 double seconds) {
    training::RunRecord r;
    r.hash = hash;
    r.configuration = runs::makeConfiguration(kind, options);
    r.q = r.tc = q;
    r.seconds = seconds;
    r.status = "done";
    ASSERT_TRUE(cache.append(r, &error));
  };
  add("h1", MAFFT, "--op 1", 0.9, 5);
  add("h1", KALIGN, "-gpo 2", 0.9, 1);  // as good, faster
  add("h1", MUSCLE, "", 0.95, 1);       // better, but not a configuration of this search
  add("h2", CLUSTALW, "", 0.5, 1);
  const std::vector<training::Individual> evaluated = {individual(MAFFT, "--op 1", 0, 0, 0),
                                                       individual(KALIGN, "-gpo 2", 0, 0, 0),
                                                       individual(CLUSTALW, "", 0, 0, 0)};
  const std::vector<training::BenchmarkSet> sets = {a, b};
  const std::vector<TableLine> lines = bestPerDataSet(sets, {0, 1}, cache, evaluated, &warnings);
  ASSERT_EQ(lines.size(), 2u);
  writeFile(dir.file("table.txt"), formatReferenceTable(lines));
  OF = t_OF();
  char path[256];
  std::snprintf(path, sizeof path, "%s", dir.file("table.txt").c_str());
  ASSERT_EQ(readOptionFile(path), 2);
  EXPECT_EQ(OF.rows[0].name, "sim001");
  EXPECT_EQ(OF.rows[0].label, KALIGN);
  EXPECT_EQ(OF.rows[0].options, "-gpo 2");
  EXPECT_EQ(OF.rows[1].label, CLUSTALW);
  EXPECT_EQ(OF.rows[1].options, "");
  for (int k = 0; k < 10; ++k) {
    EXPECT_DOUBLE_EQ(OF.rows[0].feature[k], k * 1.5);
    EXPECT_NEAR(OF.rows[1].feature[k], 1.0 / (k + 3), 1e-9);
  }
  // A set nothing aligned gets no line and a warning.
  warnings.clear();
  b.hash = "h3";
  EXPECT_EQ(bestPerDataSet({a, b}, {0, 1}, cache, evaluated, &warnings).size(), 1u);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("BB11001"), std::string::npos);
  OF = t_OF();
}

}  // namespace
}  // namespace alntrain
