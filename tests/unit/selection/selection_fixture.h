// Shared fixture of the reference-selection tests: every test starts from the
// globals' starting values.
#ifndef GETCHAR_TESTS_SELECTION_FIXTURE_H
#define GETCHAR_TESTS_SELECTION_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "getChar.h"
#include "test_support.h"

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OF = t_OF{};
    FRONT = t_Front{};
    noMAFFT = noKALIGN = noMUSCLE = 0;
    opt[0] = opt[1] = opt[2] = 0;
    distA = distB = distC = 0;
    iA = iB = iC = iD = 0;
  }

  // Writes `content` to a file in the test's temporary directory.
  std::string writeTable(const std::string& name, const std::string& content) {
    const std::string path = tmp_.file(name);
    testing_support::writeFile(path, content);
    return path;
  }

  static void setFeatures(int row, std::initializer_list<double> values) {
    int k = 0;
    for (double v : values) OF.rows[row].feature[k++] = v;
  }

  testing_support::TempDir tmp_;
};

#endif
