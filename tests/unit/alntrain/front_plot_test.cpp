// Drawing the front with the real gnuplot, and its failures reported.
#include "alntrain/front_plot.h"

#include <gtest/gtest.h>

#include "getChar.h"
#include "test_support.h"

namespace alntrain {
namespace {

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::TempDir;

std::vector<training::Individual> someConfigurations() {
  std::vector<training::Individual> out;
  for (int kind = 0; kind < 5; ++kind) {
    training::Individual ind;
    ind.configuration = runs::makeConfiguration(kind, kind == MAFFT ? "" : "");
    ind.fitness.objectives[0] = 0.3 + 0.05 * kind;
    ind.fitness.objectives[2] = kind == KALIGN ? 0 : 0.5 * kind;  // 0 s: still drawn
    out.push_back(ind);
  }
  return out;
}

TEST(FrontPlot, DrawsBothPicturesWithGnuplot) {
  TempDir dir;
  const std::vector<training::Individual> all = someConfigurations();
  std::string error;
  ASSERT_TRUE(drawFront({all[2], all[3]}, all, dir.path(), "gnuplot", -1, &error)) << error;
  EXPECT_NE(readFile(dir.file("front.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(readFile(dir.file("front.png")).substr(1, 3), "PNG");
  EXPECT_FALSE(fileExists(dir.file("front.svg.tmp")));
  EXPECT_NE(readFile(dir.file("front-plot.gp")).find("title 'MAFFT'"), std::string::npos);
}

TEST(FrontPlot, AGnuplotFailureIsReportedAndLeavesNoPicture) {
  TempDir dir;
  const std::vector<training::Individual> all = someConfigurations();
  std::string error;
  EXPECT_FALSE(drawFront(all, all, dir.path(), "/nonexistent/gnuplot", -1, &error));
  EXPECT_NE(error.find("cannot run '/nonexistent/gnuplot'"), std::string::npos) << error;
  EXPECT_FALSE(drawFront(all, all, dir.path(), "false", -1, &error));
  EXPECT_NE(error.find("gnuplot failed (exit status 1)"), std::string::npos) << error;
  EXPECT_FALSE(drawFront(all, all, dir.path(), "true", -1, &error));
  EXPECT_NE(error.find("drew no front.svg.tmp"), std::string::npos) << error;
  EXPECT_FALSE(fileExists(dir.file("front.svg")));
  EXPECT_FALSE(fileExists(dir.file("front.png")));
}

}  // namespace
}  // namespace alntrain
