#include <cmath>

#include "selection_fixture.h"

namespace {

using DistanceMetricsTest = SelectionTest;

TEST_F(DistanceMetricsTest, SameRowIsAtDistanceZero) {
  setFeatures(1, {0.2, 0.4, 0.6, 0.1, 0.3, 0, 0, 0, 0, 0});
  double a = -1, b = -1, c = -1;
  euclideanDistance(1, 1, a, b, c);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(c, 0.0);
  chebyshevDistance(1, 1, a, b, c);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
  manhattanDistance(1, 1, a, b, c);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
  cosineSimilarity(1, 1, a, b, c);
  EXPECT_DOUBLE_EQ(a, 1.0);
  EXPECT_DOUBLE_EQ(b, 1.0);
  EXPECT_TRUE(std::isnan(c));  // all-zero group: 0/0
  double all = -1;
  cosineSimilarity(1, 1, all);
  EXPECT_DOUBLE_EQ(all, 1.0);
}

TEST_F(DistanceMetricsTest, TinyDifferencesRoundToZeroExceptEuclidean) {
  OF.rows[1].feature[3] = 0.000005;
  double a, b, c;
  manhattanDistance(0, 1, a, b, c);
  EXPECT_EQ(b, 0.0);
  chebyshevDistance(0, 1, a, b, c);
  EXPECT_EQ(b, 0.0);
  euclideanDistance(0, 1, a, b, c);
  EXPECT_DOUBLE_EQ(b, 0.000005);
}

TEST_F(DistanceMetricsTest, ChebyshevTakesTheLargestSignedDifference) {
  setFeatures(0, {0.1, 0.2, 0.3, 0, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1});
  setFeatures(1, {0.6, 0.6, 0.6, 0.9, 0, 0.3, 0.2, 0.1, 0.1, 0.2});
  double a, b, c;
  chebyshevDistance(0, 1, a, b, c);
  EXPECT_DOUBLE_EQ(a, 0.3);          // differences -0.5, -0.4, -0.3
  EXPECT_DOUBLE_EQ(b, 0.1);          // -0.9 and 0.1
  EXPECT_EQ(c, 0.0);                 // largest difference is 0
  chebyshevDistance(1, 0, a, b, c);  // the sign turns with the order
  EXPECT_DOUBLE_EQ(a, 0.5);
  EXPECT_DOUBLE_EQ(b, 0.9);
  EXPECT_DOUBLE_EQ(c, 0.2);

  double m1, m2, m3, n1, n2, n3;
  manhattanDistance(0, 1, m1, m2, m3);
  manhattanDistance(1, 0, n1, n2, n3);
  EXPECT_NEAR(m1, 1.2, 1e-12);
  EXPECT_EQ(m1, n1);
  EXPECT_EQ(m3, n3);
}

TEST_F(DistanceMetricsTest, CosineMeasuresTheAngle) {
  setFeatures(0, {1, 0, 0, 1, 1, 1, 0, 0, 0, 0});
  setFeatures(1, {0, 2, 0, 3, 3, 1, 1, 0, 0, 0});
  double a, b, c, all;
  cosineSimilarity(0, 1, a, b, c);
  EXPECT_EQ(a, 0.0);
  EXPECT_DOUBLE_EQ(b, 1.0);
  EXPECT_DOUBLE_EQ(c, 1 / std::sqrt(2.0));
  cosineSimilarity(0, 1, all);
  EXPECT_DOUBLE_EQ(all, 7 / (2 * std::sqrt(24.0)));
  double e1, e2, e3;
  euclideanDistance(0, 1, e1, e2, e3);
  EXPECT_DOUBLE_EQ(e1, std::sqrt(5.0));
  EXPECT_DOUBLE_EQ(e2, std::sqrt(8.0));
}

}  // namespace
