// A working directory for one test with the real programs: a RunWorkspace
// holding bin and lib links to the folder that scripts/install-aligners laid
// out, named by the environment variable GETCHAR_TOOLS_DIR.
#ifndef GETCHAR_TESTS_TOOLS_WORKSPACE_H
#define GETCHAR_TESTS_TOOLS_WORKSPACE_H

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../unit/aligners/run_workspace.h"
#include "test_support.h"

namespace testing_support {

// The data sets shipped with Debian's aligners: unaligned sequences (.tfa)
// and the reference alignment (.msf).
struct DataSet {
  std::string input;
  std::string reference;
  int sequences;
};

inline DataSet kalignExample(const std::string& name, int sequences) {
  const std::string base = "/usr/share/doc/kalign/examples/" + name;
  return {base + ".tfa", base + ".msf", sequences};
}

inline DataSet dialignExample(const std::string& name, int sequences) {
  const std::string base = "/usr/share/dialign-tx/" + name;
  return {base + ".tfa", base + ".msf", sequences};
}

class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tools = std::getenv("GETCHAR_TOOLS_DIR");
    if (tools == nullptr || *tools == '\0') {
      FAIL() << "GETCHAR_TOOLS_DIR is not set: lay out the aligners with "
                "scripts/install-aligners DIR SCORER and set GETCHAR_TOOLS_DIR=DIR";
    }
    const std::string dir = tools;
    if (!fileExists(dir + "/bin/qscore") || !fileExists(dir + "/lib/DIALIGN-TX_1.0.2/conf")) {
      FAIL() << "GETCHAR_TOOLS_DIR=" << dir
             << " holds no laid-out aligners: run scripts/install-aligners " << dir << " SCORER";
    }
    ASSERT_EQ(symlink((dir + "/bin").c_str(), "bin"), 0);
    ASSERT_EQ(symlink((dir + "/lib").c_str(), "lib"), 0);
    tools_ = dir;
  }

  // Makes ./bin a folder of links to every program but `name`.
  void hideProgram(const std::string& name) {
    ASSERT_EQ(unlink("bin"), 0);
    ASSERT_EQ(mkdir("bin", 0755), 0);
    for (const auto& entry : std::filesystem::directory_iterator(tools_ + "/bin")) {
      const std::string program = entry.path().filename().string();
      if (program != name) std::filesystem::create_symlink(entry.path(), "bin/" + program);
    }
  }

  static void requireDataSet(const DataSet& data) {
    ASSERT_TRUE(fileExists(data.input)) << data.input << " missing (Debian's aligner packages)";
    ASSERT_TRUE(fileExists(data.reference)) << data.reference << " missing";
  }

  RunWorkspace ws;
  std::string tools_;
};

// A score of a real alignment against its reference.
inline void expectScore(double score) {
  EXPECT_GT(score, 0.0);
  EXPECT_LE(score, 1.0);
}

}  // namespace testing_support

#endif  // GETCHAR_TESTS_TOOLS_WORKSPACE_H
