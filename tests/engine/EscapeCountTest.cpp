#include <gtest/gtest.h>

#include <tuple>

#include "EscapeCount.h"

namespace {

TEST(EscapeCountTest, MatchesHandComputedOrbits) {
  // Julia (1, 0) leaves only through the step offset; escaping exactly at the
  // cap looks like never escaping; a cap below one still counts the first
  // step; a first step landing exactly on (2, 0), |z|^2 = 4, has not escaped.
  const std::tuple<bool, ComplexNumber, std::int32_t, std::int32_t> points[] = {
      {false, {0, 0}, 256, 256},   {false, {2, 2}, 256, 1},    {false, {0.5, 0.5}, 256, 5},
      {false, {0.3, 0}, 256, 12},  {true, {1, 0}, 256, 10},    {true, {1.1, 0}, 256, 3},
      {true, {0.99, 0}, 256, 256}, {false, {0.3, 0}, 12, 12},  {false, {0.3, 0}, 11, 11},
      {false, {0, 0}, 0, 1},       {false, {3, 0}, -5, 1},     {false, {2 - 0.001, -0.001}, 256, 2}};
  for (const auto& [isJulia, point, cap, count] : points)
    EXPECT_EQ(EscapeCount({isJulia, {}, cap}, point), count) << point.real << " " << point.imaginary;
  // With a fused multiply-subtract, a*a - b*b would keep the exact a*a.
  const double a = 1.0 + 0x1p-30, b = 1.0 + 0x1p-29;
  EXPECT_EQ(ComplexSquare({a, b}).real, (a * a) - (b * b));
}

}  // namespace
