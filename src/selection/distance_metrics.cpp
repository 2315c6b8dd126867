// Distance and similarity measures between two rows of the feature table,
// per feature group or over all ten features.
#include <cmath>

#include "getChar.h"
#include "selection/feature_groups.h"

namespace {

// Chebyshev and Manhattan results this small count as no difference.
const double kZeroThreshold = 1e-5;

double roundSmallToZero(double value) { return value < kZeroThreshold ? 0.0 : value; }

double cosineOver(const double* x, const double* y, int first, int end) {
  double dot = 0, normX = 0, normY = 0;
  for (int k = first; k < end; ++k) {
    dot += x[k] * y[k];
    normX += x[k] * x[k];
    normY += y[k] * y[k];
  }
  // A zero norm gives NaN; that is the measure's answer for an empty vector.
  return dot / (std::sqrt(normY) * std::sqrt(normX));
}

}  // namespace

double groupEuclidean(const double* x, const double* y, const FeatureGroup& g) {
  double sum = 0;
  for (int k = g.first; k < g.end; ++k) sum += (x[k] - y[k]) * (x[k] - y[k]);
  return std::sqrt(sum);
}

void euclideanDistance(int x, int y, double& a, double& b, double& c) {
  const double* fx = OF.rows[x].feature;
  const double* fy = OF.rows[y].feature;
  a = groupEuclidean(fx, fy, kFeatureGroups[0]);
  b = groupEuclidean(fx, fy, kFeatureGroups[1]);
  c = groupEuclidean(fx, fy, kFeatureGroups[2]);
}

// The absolute value of the largest signed difference x - y, not the largest
// absolute difference: swapping the rows can change the result.
void chebyshevDistance(int x, int y, double& a, double& b, double& c) {
  const double* fx = OF.rows[x].feature;
  const double* fy = OF.rows[y].feature;
  double* results[3] = {&a, &b, &c};
  for (int g = 0; g < 3; ++g) {
    double largest = -9999999.0;
    for (int k = kFeatureGroups[g].first; k < kFeatureGroups[g].end; ++k) {
      const double d = fx[k] - fy[k];
      if (d > largest) largest = d;
    }
    *results[g] = roundSmallToZero(std::fabs(largest));
  }
}

void manhattanDistance(int x, int y, double& a, double& b, double& c) {
  const double* fx = OF.rows[x].feature;
  const double* fy = OF.rows[y].feature;
  double* results[3] = {&a, &b, &c};
  for (int g = 0; g < 3; ++g) {
    double sum = 0;
    for (int k = kFeatureGroups[g].first; k < kFeatureGroups[g].end; ++k) {
      sum += std::fabs(fx[k] - fy[k]);
    }
    *results[g] = roundSmallToZero(sum);
  }
}

void cosineSimilarity(int x, int y, double& a, double& b, double& c) {
  const double* fx = OF.rows[x].feature;
  const double* fy = OF.rows[y].feature;
  a = cosineOver(fx, fy, kFeatureGroups[0].first, kFeatureGroups[0].end);
  b = cosineOver(fx, fy, kFeatureGroups[1].first, kFeatureGroups[1].end);
  c = cosineOver(fx, fy, kFeatureGroups[2].first, kFeatureGroups[2].end);
}

void cosineSimilarity(int x, int y, double& all) {
  all = cosineOver(OF.rows[x].feature, OF.rows[y].feature, 0, 10);
}
