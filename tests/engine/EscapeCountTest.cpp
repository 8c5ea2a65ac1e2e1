#include <gtest/gtest.h>

#include "EscapeCount.h"
#include "FractalRenderer.h"

namespace {

TEST(EscapeCountTest, MatchesHandComputedOrbits) {
  const struct {
    bool isJulia;
    ComplexNumber point;
    std::int32_t cap, count;
  } points[] = {{false, {0, 0}, 256, 256}, {false, {2, 2}, 256, 1}, {false, {0.5, 0.5}, 256, 5},
                {false, {0.3, 0}, 256, 12},
                {true, {1, 0}, 256, 10},  // only the step offset pushes it out
                {true, {1.1, 0}, 256, 3}, {true, {0.99, 0}, 256, 256},
                // Escaping exactly at the cap looks like never escaping.
                {false, {0.3, 0}, 12, 12}, {false, {0.3, 0}, 11, 11},
                // A cap below one still counts the first step.
                {false, {0, 0}, 0, 1}, {false, {3, 0}, -5, 1},
                // The first step lands exactly on (2, 0): |z|^2 of exactly 4 has not escaped.
                {false, {2 - 0.001, -0.001}, 256, 2}};
  for (const auto& p : points)
    EXPECT_EQ(EscapeCount({p.isJulia, {}, p.cap}, p.point), p.count) << p.point.real << " " << p.point.imaginary;
}

TEST(EscapeCountTest, SquaresAreNotFusedIntoOneRounding) {
  // With a fused multiply-subtract, a*a - b*b keeps the exact a*a and differs
  // from two separately rounded products for these operands.
  const double a = 1.0 + 0x1p-30;
  const double b = 1.0 + 0x1p-29;
  EXPECT_EQ(ComplexSquare({a, b}).real, (a * a) - (b * b));
  EXPECT_EQ(ComplexSquare({1, 1}).imaginary, 2.0);
  EXPECT_EQ(ComplexMagnitudeSquared({3, 4}), 25.0);
}

TEST(EscapeCountTest, StepIterateStartsAtZeroAndStopsOnceTheOrbitHasLeftTheDisc) {
  FractalRenderer renderer;
  renderer.SetFractal(FractalType::Julia);  // the orbit ignores the fractal type
  ASSERT_TRUE(renderer.StepIterate(true, 0.5, 0.5));
  EXPECT_EQ(renderer.GetCurrentRealPart(), 0.501);
  EXPECT_EQ(renderer.GetCurrentImaginaryPart(), 0.501);
  int steps = 1;
  while (renderer.StepIterate(false)) ++steps;
  EXPECT_EQ(steps, 5);  // the escape count of (0.5, 0.5)
  const double real = renderer.GetCurrentRealPart();
  EXPECT_FALSE(renderer.StepIterate(false));
  EXPECT_EQ(renderer.GetCurrentRealPart(), real);
  EXPECT_TRUE(renderer.StepIterate(true, 0, 0));
  EXPECT_EQ(renderer.GetCurrentRealPart(), 0.001);
}

TEST(EscapeCountTest, AnUninitialisedRendererCountsWithItsOwnSettings) {
  FractalRenderer renderer;  // as the Melodizer uses it
  EXPECT_EQ(renderer.IteratePoint(0.3, 0), 1);
  renderer.SetMaxIterations(256);
  EXPECT_EQ(renderer.IteratePoint(0.3, 0), 12);
  renderer.SetFractal(FractalType::Julia);
  renderer.SetJuliaPoint(0.3, 0);
  EXPECT_EQ(renderer.IteratePoint(0, 0), 12);  // the same orbit as Mandelbrot c = 0.3
  renderer.SetFractal(std::int16_t{2});         // unknown type: unchanged
  EXPECT_EQ(renderer.GetFractal(), 1);
}

}  // namespace
