// The benchmark folder: pairs, warnings for strays, refusals, and the
// content hash.
#include "training/benchmark_set.h"

#include <gtest/gtest.h>

#include "test_support.h"
#include "training/content_hash.h"

namespace training {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

const char kData[] = ">a\nMKVLA\n>b\nMKILA\n>c\nMRVA\n";
const char kReference[] = ">a\nMKVLA\n>b\nMKILA\n>c\nMR-VA\n";

std::string readError(const std::string& folder, std::vector<std::string>* warnings = nullptr) {
  std::vector<BenchmarkSet> sets;
  std::vector<std::string> ignored;
  std::string error;
  EXPECT_FALSE(readBenchmark(folder, &sets, warnings ? warnings : &ignored, &error));
  return error;
}

TEST(BenchmarkSet, ReadsPairsInNameOrderAndWarnsOfStrays) {
  TempDir dir;
  writeFile(dir.file("zeta.fasta"), kData);
  writeFile(dir.file("zeta.ref.fasta"), kReference);
  writeFile(dir.file("alpha.fasta"), kData);
  writeFile(dir.file("alpha.msf"),
            "PileUp\n\n MSF: 5  Type: P  Check: 0 ..\n\n Name: a\n Name: b\n Name: c\n\n//\n\n"
            "a MKVLA\nb MKILA\nc MRVA-\n");
  writeFile(dir.file("lonely.fasta"), kData);
  writeFile(dir.file("orphan.ref.fasta"), kReference);
  writeFile(dir.file("families.tsv"), "name\n");
  std::vector<BenchmarkSet> sets;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(readBenchmark(dir.path(), &sets, &warnings, &error)) << error;
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].name, "alpha");
  EXPECT_EQ(sets[1].name, "zeta");
  EXPECT_EQ(sets[1].data.size(), 3u);
  EXPECT_EQ(warnings.size(), 2u);
  // Same data, other reference: another key.
  EXPECT_NE(sets[0].hash, sets[1].hash);
  EXPECT_EQ(sets[1].hash, dataSetHash(kData, kReference));
  EXPECT_EQ(sets[1].hash.size(), 16u);
}

TEST(BenchmarkSet, TheHashIsFixed) {
  // FNV-1a 64 of nothing, and of the length bytes alone.
  EXPECT_EQ(hex16(Fnv1a64().value()), "cbf29ce484222325");
  EXPECT_EQ(dataSetHash("", ""), dataSetHash("", ""));
  EXPECT_NE(dataSetHash("ab", "c"), dataSetHash("a", "bc"));
  Fnv1a64 h;
  h.add("a");
  EXPECT_EQ(hex16(h.value()), "af63dc4c8601ec8c");
}

TEST(BenchmarkSet, RefusesFoldersItCannotTrainOn) {
  TempDir empty;
  EXPECT_NE(readError(empty.path()).find("holds no pair"), std::string::npos);
  EXPECT_NE(readError(empty.file("missing")).find("cannot read the benchmark folder"),
            std::string::npos);

  TempDir mismatch;
  writeFile(mismatch.file("x.fasta"), kData);
  writeFile(mismatch.file("x.ref.fasta"), ">a\nMKVLA\n>b\nMKILA\n>d\nMR-VA\n");
  EXPECT_NE(readError(mismatch.path()).find("matches no sequence name"), std::string::npos);

  TempDir residues;
  writeFile(residues.file("x.fasta"), kData);
  writeFile(residues.file("x.ref.fasta"), ">a\nMKVLA\n>b\nMKILA\n>c\nMR-WA\n");
  EXPECT_NE(readError(residues.path()).find("differ"), std::string::npos);

  TempDir two;
  writeFile(two.file("x.fasta"), kData);
  writeFile(two.file("x.ref.fasta"), kReference);
  writeFile(two.file("x.msf"), kReference);
  EXPECT_NE(readError(two.path()).find("two references"), std::string::npos);

  TempDir badName;
  writeFile(badName.file("a;b.fasta"), kData);
  writeFile(badName.file("a;b.ref.fasta"), kReference);
  EXPECT_NE(readError(badName.path()).find("holds ';'"), std::string::npos);

  TempDir badData;
  writeFile(badData.file("x.fasta"), ">a\nMK*VLA\n>b\nMKILA\n");
  writeFile(badData.file("x.ref.fasta"), kReference);
  EXPECT_NE(readError(badData.path()).find("x.fasta"), std::string::npos);
}

}  // namespace
}  // namespace training
