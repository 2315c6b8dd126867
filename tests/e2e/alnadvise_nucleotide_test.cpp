// alnadvise on DNA: the alphabet detected or given, each aligner called in
// its nucleotide mode, ProbCons left out with its reason, the stop '*' of
// translated genes, and a real advice of a small DNA family.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "test_support.h"
#include "tools_folder.h"

using namespace testing_support;

namespace {

const std::string kAdvisor = ALNADVISE_EXE;
const char kEveryAligner[] =
    "clustalw,dialign-tx,kalign,mafft,muscle,probcons,clustalo,muscle5,probalign";

// A family of `count` DNA sequences from one random ancestor of `length`
// bases: about one substitution in eight and a few short indels each.
std::string dnaFamily(int count, int length, unsigned seed) {
  unsigned state = seed;
  auto next = [&state]() {
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7fff;
  };
  const char bases[] = "ACGT";
  std::string root;
  for (int i = 0; i < length; ++i) root += bases[next() % 4];
  std::string fasta;
  for (int s = 0; s < count; ++s) {
    std::string seq;
    for (size_t i = 0; i < root.size(); ++i) {
      const unsigned r = next() % 100;
      if (r < 2) continue;                                   // deletion
      seq += r < 14 ? bases[next() % 4] : root[i];           // substitution
      if (r == 99) seq += std::string("GATTACA").substr(0, 1 + next() % 6);  // insertion
    }
    fasta += ">seq" + std::to_string(s + 1) + " simulated\n" + seq + "\n";
  }
  return fasta;
}

class AlnadviseNucleotide : public ::testing::Test {
 protected:
  RunResult advise(std::vector<std::string> args) {
    args.insert(args.begin(), kAdvisor);
    return runProgram(args, dir.path());
  }
  nlohmann::json report(const std::string& folder) {
    return nlohmann::json::parse(readFile(dir.file(folder + "/report.json")));
  }
  TempDir dir;
};

// Each aligner is a stand-in that records its arguments and fails.
TEST_F(AlnadviseNucleotide, EachAlignerGetsItsNucleotideModeAndProbconsIsLeftOut) {
  const std::string args = dir.file("args");
  ASSERT_EQ(::mkdir(args.c_str(), 0755), 0);
  std::map<std::string, std::string> fakes;
  for (const char* name : {"clustalw2", "dialign-tx", "kalign2", "mafft", "muscle3.8", "probcons",
                           "clustalo", "muscle5", "probalign"})
    fakes[name] = "printf '%s\\n' \"$@\" >> " + args + "/" + name + "\nexit 1\n";
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), fakes));
  writeFile(dir.file("dna.fa"), dnaFamily(5, 60, 7));
  RunResult r = advise({"--tools", "tools", "--aligners", kEveryAligner, "--no-merge", "-q",
                        "--budget", "0", "-o", "out", "dna.fa"});
  EXPECT_EQ(r.status, 1) << r.err;  // every run failed
  const std::map<std::string, std::string> expected = {
      {"clustalw2", "-TYPE=DNA\n"},   {"dialign-tx", "-D\n"},     {"kalign2", "-in\n"},
      {"mafft", "--nuc\n"},           {"muscle3.8", "-seqtype\ndna\n"},
      {"clustalo", "--seqtype=DNA\n"}, {"muscle5", "-align\n"},   {"probalign", "-nuc\n"}};
  for (const auto& e : expected)
    EXPECT_NE(readFile(args + "/" + e.first).find(e.second), std::string::npos)
        << e.first << ": " << readFile(args + "/" + e.first);
  // Kalign and MUSCLE 5 detect nucleotides themselves.
  EXPECT_EQ(readFile(args + "/kalign2").find("--type"), std::string::npos);
  EXPECT_EQ(readFile(args + "/muscle5").find("-amino"), std::string::npos);
  EXPECT_FALSE(fileExists(args + "/probcons"));
  nlohmann::json j = report("out");
  EXPECT_EQ(j["dataSet"]["alphabet"], "dna");
  EXPECT_EQ(j["estimator"]["name"], "agreement");
  EXPECT_TRUE(j["nearestReferences"].empty());
  ASSERT_EQ(j["budget"]["leftOut"].size(), 1u);
  EXPECT_EQ(j["budget"]["leftOut"][0]["aligner"], "PROBCONS");
  EXPECT_NE(j["budget"]["leftOut"][0]["why"].get<std::string>().find("no nucleotide mode"),
            std::string::npos);

  // --alphabet protein keeps the protein behaviour on the same file.
  std::filesystem::remove_all(args);
  ASSERT_EQ(::mkdir(args.c_str(), 0755), 0);
  r = advise({"--tools", "tools", "--aligners", "mafft,probcons", "--alphabet", "protein",
              "--no-merge", "-q", "-t", "/dev/null", "-f", "/dev/null", "--estimator",
              "agreement", "--budget", "0", "-o", "protein", "dna.fa"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(readFile(args + "/mafft").find("--nuc"), std::string::npos);
  EXPECT_TRUE(fileExists(args + "/probcons"));
  EXPECT_EQ(report("protein")["dataSet"]["alphabet"], "protein");

  // The learnt estimator is not taken for nucleotides.
  r = advise({"--tools", "tools", "--estimator", "learned", "-o", "learned", "dna.fa"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("learned estimator knows protein families only"), std::string::npos)
      << r.err;
  r = advise({"--alphabet", "nucleotide", "dna.fa"});
  EXPECT_EQ(r.status, 2);
}

TEST_F(AlnadviseNucleotide, AdvisesADnaFamilyWithTheRealAligners) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {}));
  writeFile(dir.file("family.fa"), dnaFamily(8, 180, 11));
  const RunResult r = advise({"--tools", "tools", "-j", "2", "--budget", "0", "--merge", "--aligners",
                              "clustalw,dialign-tx,kalign,mafft,muscle,probcons", "-o", "out",
                              "--format", "tsv", "family.fa"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: dna data set: nucleotide modes"), std::string::npos) << r.err;
  const nlohmann::json j = report("out");
  EXPECT_EQ(j["dataSet"]["alphabet"], "dna");
  bool merged = false;
  for (const auto& c : j["candidates"]) {
    if (c["aligner"] == "PROBCONS") {
      EXPECT_EQ(c["rank"], nullptr);
      continue;
    }
    // Every run, the merge on DNA included, gives an alignment.
    EXPECT_EQ(c["status"], "done") << c.dump();
    EXPECT_TRUE(c["agreement"].is_number()) << c.dump();
    merged = merged || c["aligner"] == "MERGE";
  }
  EXPECT_TRUE(merged);
  EXPECT_TRUE(fileExists(dir.file("out/best.fasta")));
  EXPECT_NE(readFile(dir.file("out/report.html")).find("\"alphabet\": \"dna\""), std::string::npos);
}

TEST_F(AlnadviseNucleotide, TrailingStopsAreDroppedAndCounted) {
  ASSERT_TRUE(makeToolsFolder(dir.file("tools"), {}));
  writeFile(dir.file("genes.fa"),
            ">p1\nMKVLAAGIVGLLLAHSEQWR*\n>p2\nMKVLAGIVGLLAHSEQWR*\n>p3\nMKILAAGIVGLLHSEEWR\n");
  RunResult r = advise({"--tools", "tools", "--aligners", "mafft,kalign", "--no-merge", "-q",
                        "-o", "out", "genes.fa"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "alnadvise: warning: 2 records ended with a stop '*', dropped before aligning\n");
  const std::string best = readFile(dir.file("out/best.fasta"));
  EXPECT_EQ(best.find('*'), std::string::npos) << best;
  EXPECT_EQ(report("out")["dataSet"]["alphabet"], "protein");
  writeFile(dir.file("bad.fa"), ">p1\nMKV*LAA\n>p2\nMKVLA\n");
  r = advise({"--tools", "tools", "-o", "bad", "bad.fa"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("record 1 ('p1'): byte '*' is not a residue letter"), std::string::npos)
      << r.err;
}

}  // namespace
