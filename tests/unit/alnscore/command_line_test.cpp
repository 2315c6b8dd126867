#include "alnscore/command_line.h"

#include <gtest/gtest.h>

namespace alnscore {
namespace {

TEST(AlnscoreCommandLine, RejectsIncompleteOrRepeatedArguments) {
  CommandLine c;
  std::string error;
  EXPECT_FALSE(parseCommandLine({"-test", "t"}, &c, &error));
  EXPECT_EQ(error, "missing -ref <reference>");
  EXPECT_FALSE(parseCommandLine({"-ref", "r", "-test"}, &c, &error));
  EXPECT_EQ(error, "option -test needs a file name");
  EXPECT_FALSE(parseCommandLine({"-test", "t", "-ref", "r", "-test", "u"}, &c, &error));
  EXPECT_EQ(error, "option -test given twice");
}

TEST(AlnscoreCommandLine, ReportNumbersHaveThreeSignificantDigits) {
  EXPECT_EQ(formatReport("t.fa", "r.msf", 1.0, 0.5), "Test=t.fa;Ref=r.msf;Q=1;TC=0.5\n");
  EXPECT_EQ(formatReport("t", "r", 2.0 / 3, 0.0), "Test=t;Ref=r;Q=0.667;TC=0\n");
  EXPECT_EQ(formatReport("t", "r", 0.99951, 1.2345e-5), "Test=t;Ref=r;Q=1;TC=1.23e-05\n");
}

}  // namespace
}  // namespace alnscore
