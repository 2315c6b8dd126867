// The confidence calibration's map and its file.
#include "advice/confidence_calibration.h"

#include <gtest/gtest.h>

#include <cmath>

namespace advice {
namespace {

TEST(ConfidenceCalibration, PiecewiseLinearFlatBeyondTheKnots) {
  ConfidenceCalibration c;
  c.raw = {0.2, 0.5, 0.9};
  c.calibrated = {0.3, 0.6, 0.6};
  EXPECT_DOUBLE_EQ(calibrate(c, 0), 0.3);
  EXPECT_DOUBLE_EQ(calibrate(c, 0.2), 0.3);
  EXPECT_DOUBLE_EQ(calibrate(c, 0.35), 0.45);
  EXPECT_DOUBLE_EQ(calibrate(c, 0.7), 0.6);
  EXPECT_DOUBLE_EQ(calibrate(c, 1), 0.6);
  EXPECT_TRUE(std::isnan(calibrate(c, std::nan(""))));
  EXPECT_DOUBLE_EQ(calibrate(ConfidenceCalibration{}, 0.4), 0.4);  // no knots: as it is
}

TEST(ConfidenceCalibration, FileRoundTripAndRefusals) {
  ConfidenceCalibration c;
  c.raw = {0.1, 0.6};
  c.calibrated = {0.2, 0.7};
  c.dataSets = 41;
  c.folds = 16;
  c.columns = 900;
  c.rawError = 0.06;
  c.heldOutError = 0.05;
  ConfidenceCalibration back;
  std::string error;
  ASSERT_TRUE(parseConfidenceCalibration(formatConfidenceCalibration(c), &back, &error)) << error;
  EXPECT_EQ(back.raw, c.raw);
  EXPECT_EQ(back.calibrated, c.calibrated);
  EXPECT_EQ(back.columns, 900);
  EXPECT_DOUBLE_EQ(back.heldOutError, 0.05);
  const std::string v =
      R"(, "crossValidation": {"dataSets": 1, "folds": 1, "columns": 1, "rawError": 0,
         "heldOutError": 0}})";
  for (const char* knots :
       {R"({"knots": [])", R"({"knots": [[0.5, 0.4], [0.5, 0.6]])",
        R"({"knots": [[0.2, 0.4], [0.5, 0.3]])", R"({"knots": [[0.2, 1.4]])",
        R"({"knots": [[0.2]])", R"({"knots": [["a", 0.3]])"}) {
    EXPECT_FALSE(parseConfidenceCalibration(std::string(knots) + v, &back, &error)) << knots;
  }
  EXPECT_TRUE(parseConfidenceCalibration(std::string(R"({"knots": [[0.2, 0.4]])") + v, &back,
                                         &error))
      << error;
  EXPECT_FALSE(parseConfidenceCalibration(R"({"knots": [[0.2, 0.4]]})", &back, &error));
  EXPECT_FALSE(readConfidenceCalibration("/nonexistent/calibration.json", &back, &error));
  EXPECT_NE(error.find("cannot read the confidence calibration"), std::string::npos) << error;
}

}  // namespace
}  // namespace advice
