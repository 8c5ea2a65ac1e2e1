#include "MountainCurve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MountainCurveTest, BarAtTheBottomLiesOnTheDiagonal) {
  const double width = 77;
  const double height = 193;
  const auto points = MountainCurvePoints(width, height, FlatteningOfBar(160));
  ASSERT_EQ(points.size(), 1u + 39u);  // the start, then x = 0, 2, ..., 76
  EXPECT_EQ(points.front().x, 0.0);
  EXPECT_EQ(points.front().y, height);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double x = points[i].x;
    EXPECT_EQ(x, 2.0 * (i - 1));
    // One pixel above the white line from (0, height) to (width, 0).
    EXPECT_NEAR(points[i].y, height - height * x / width - 1, 1e-9);
  }
}

TEST(MountainCurveTest, BarAtTheTopFollowsTheEighthRoot) {
  const auto points = MountainCurvePoints(80, 100, FlatteningOfBar(20));
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double x = points[i].x;
    EXPECT_NEAR(points[i].y, 100 - 1 - 100 * std::pow(x / 80, 0.125), 1e-9);
  }
  EXPECT_EQ(points.back().x, 80.0);
  EXPECT_DOUBLE_EQ(points.back().y, -1.0);
}

TEST(MountainCurveTest, CountHeightReachesTheTopInsideTheSet) {
  for (const std::int16_t flattening : {20, 50, 160}) EXPECT_EQ(CountHeight(256, 256, flattening, 109), 109.0);
  EXPECT_EQ(CountHeight(64, 256, 20, 109), 27.25);
  EXPECT_EQ(CountHeight(1, 256, 160, 109), std::pow(1.0, 0.125) / std::pow(256.0, 0.125) * 109);
  // Flattening lifts low counts.
  EXPECT_GT(CountHeight(10, 256, 160, 109), CountHeight(10, 256, 20, 109));
}

}  // namespace
