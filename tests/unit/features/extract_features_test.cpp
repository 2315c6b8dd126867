// The extraction called in-process: per-record statistics, the run with an
// empty output directory, confined to a private root so that a fault could
// never write into the real one, and side-file writes that fail half-way.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <boost/range/algorithm/count.hpp>
#include <csignal>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "getChar.h"
#include "test_support.h"

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

struct Totals {
  double sumLength = 0, sumSquares = 0;
  int maxLength = -9999999, minLength = 9999999, maxIndex = 0, minIndex = 0;
  double groups[5] = {0, 0, 0, 0, 0};
  void add(const std::string& s, int index) {
    featuresSequence(s, index, sumLength, sumSquares, maxLength, minLength, maxIndex, minIndex,
                     groups);
  }
};

TEST(FeaturesSequence, CountsGroupsAndTracksExtremes) {
  Totals t;
  t.add("RHK-DE", 0);
  EXPECT_EQ(t.sumLength, 6);
  EXPECT_EQ(t.sumSquares, 36);
  EXPECT_EQ((std::vector<double>(t.groups, t.groups + 5)), (std::vector<double>{3, 2, 0, 0, 0}));
  t.add("acgtBJOXZ*1 \r", 1);  // no group: lower case, other letters, symbols
  EXPECT_EQ(t.sumLength, 19);
  EXPECT_EQ((std::vector<double>(t.groups, t.groups + 5)), (std::vector<double>{3, 2, 0, 0, 0}));
  t.add("STNQCUGPAVILMFYW", 2);
  EXPECT_EQ((std::vector<double>(t.groups, t.groups + 5)), (std::vector<double>{3, 2, 4, 4, 8}));
  // Longest: ties keep the first; shortest: ties move to the last.
  t.add(std::string(16, 'A'), 3);
  t.add("", 4);
  t.add("", 5);
  EXPECT_EQ(t.maxLength, 16);
  EXPECT_EQ(t.maxIndex, 2);
  EXPECT_EQ(t.minLength, 0);
  EXPECT_EQ(t.minIndex, 5);
}

TEST(FeaturesSequence, EveryByteValueCountsExactlyOnceOrNotAtAll) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  Totals t;
  t.add(all + all, 0);
  EXPECT_EQ((std::vector<double>(t.groups, t.groups + 5)), (std::vector<double>{6, 4, 8, 8, 16}));
}

TEST(FeaturesSequence, GroupsEqualLetterByLetterCountsOnRandomSequences) {
  const std::string groups[5] = {"RHK", "DE", "STNQ", "CUGP", "AVILMFYW"};
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string s(random() % 1000, '\0');
    for (char& c : s) c = static_cast<char>(random() % 256);
    Totals t;
    t.add(s, 0);
    for (int g = 0; g < 5; ++g) {
      double expected = 0;
      for (char letter : groups[g]) expected += boost::range::count(s, letter);
      EXPECT_EQ(t.groups[g], expected) << "group " << g << " round " << round;
    }
  }
}

TEST(FeaturesSequence, SquareOfLongSequenceDoesNotOverflow) {
  Totals t;
  t.add(std::string(50000, 'A'), 0);
  EXPECT_EQ(t.sumSquares, 2500000000.0);
}

std::set<std::string> listDir(const std::string& path) {
  std::set<std::string> names;
  DIR* d = opendir(path.c_str());
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.insert(n);
  }
  closedir(d);
  return names;
}

TEST(ExtractFeatures, EmptyOutputDirectoryWritesNoSideFiles) {
  TempDir root;
  writeFile(root.file("data.fa"), ">a\nK\n>b\nK\n>c\nD\n");
  std::string outPath = root.file("stdout");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    // Confine the run: a private mount namespace where possible, and the
    // temporary directory as its root either way.
    if (unshare(CLONE_NEWNS) != 0) unshare(CLONE_NEWUSER | CLONE_NEWNS);
    if (chroot(root.path().c_str()) != 0 || chdir("/") != 0) _exit(77);
    dir = "";
    char path[] = "/data.fa";
    extractFeatures(path);
    _exit(2);  // not reached: the extraction ends the process
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot confine the run to a private root";
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(readFile(outPath), "1,0,0,0,0\n0,1,0,0,0\n");
  EXPECT_EQ(listDir(root.path()), (std::set<std::string>{"data.fa", "stdout"}));
}

TEST(ExtractFeatures, UnopenableFileReturnsMinusOneAndLeavesNcAlone) {
  NC = 5;
  char path[] = "/nonexistent/data.fa";
  testing_support::Captured c =
      testing_support::capture([&] { EXPECT_EQ(extractFeatures(path), -1); });
  EXPECT_EQ(c.err, "Error opening '/nonexistent/data.fa'. Bailing out.\n");
  EXPECT_EQ(c.out, "");
  EXPECT_EQ(NC, 5);
  NC = 0;
}

// Runs the extraction of root/data.fa into `outDir` in a child process in which no
// file can grow past `limit` bytes (0: no limit): writes past it fail with
// EFBIG, as on a full disk. Returns the child's standard error.
std::string extractWithSizeLimit(const TempDir& root, const std::string& outDir, rlim_t limit) {
  pid_t pid = fork();
  if (pid == 0) {
    int err = open(root.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(open("/dev/null", O_WRONLY), 1);
    dup2(err, 2);
    struct rlimit r = {limit, limit};
    if (limit > 0) setrlimit(RLIMIT_FSIZE, &r);
    signal(SIGXFSZ, SIG_IGN);
    dir = outDir;
    std::string path = root.file("data.fa");
    extractFeatures(path.data());
    _exit(2);  // not reached: the extraction ends the process
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  return readFile(root.file("stderr"));
}

TEST(ExtractFeatures, FailedSideFileWritesLeaveWholeEntriesOnly) {
  TempDir root;
  const std::string out = root.file("out");
  ASSERT_EQ(mkdir(out.c_str(), 0700), 0);
  // 30 records of 10 to 7,000 residues. An entry that does not fit under the
  // limit is cut back, so the files hold exactly the entries that fit.
  const size_t limit = 6000;
  std::string fasta, collected, allEntries;
  std::vector<std::string> own;
  for (int k = 1; k <= 30; ++k) {
    const std::string sequence(10 + ((k - 1) * 997) % 6990, "ACDEFGHIKL"[k % 10]);
    own.push_back(">r" + std::to_string(k) + "\n" + sequence + "\n");
    fasta += own.back();
    const std::string entry =
        ">" + out + "/sequence" + std::to_string(k) + ".fasta\n" + sequence + "\n";
    if (collected.size() + entry.size() <= limit) collected += entry;
    allEntries += entry;
  }
  writeFile(root.file("data.fa"), fasta);

  const std::string err = extractWithSizeLimit(root, out, limit);
  EXPECT_NE(err.find(out + "/All-sequences.fasta'; entry skipped.\n"), std::string::npos);
  EXPECT_NE(err.find(out + "/sequence8.fasta'; entry skipped.\n"), std::string::npos);
  EXPECT_EQ(readFile(out + "/All-sequences.fasta"), collected);
  for (int k = 1; k <= 30; ++k) {
    const std::string path = out + "/sequence" + std::to_string(k) + ".fasta";
    EXPECT_EQ(testing_support::fileExists(path) ? readFile(path) : "",
              own[k - 1].size() <= limit ? own[k - 1] : "")
        << k;
  }
  // A later run with room appends after the last whole entry.
  extractWithSizeLimit(root, out, 0);
  EXPECT_EQ(readFile(out + "/All-sequences.fasta"), collected + allEntries);
}

}  // namespace
