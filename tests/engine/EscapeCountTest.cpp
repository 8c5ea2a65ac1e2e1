#include <gtest/gtest.h>

#include "EscapeCount.h"
#include "FractalRenderer.h"

namespace {

struct PointCase {
  bool isJulia;
  ComplexNumber point;
  std::int32_t cap, expected;
};

class KnownCountTest : public testing::TestWithParam<PointCase> {};

TEST_P(KnownCountTest, MatchesHandComputedOrbit) {
  const PointCase& known = GetParam();
  EXPECT_EQ(EscapeCount({known.isJulia, {}, known.cap}, known.point), known.expected);
}

INSTANTIATE_TEST_SUITE_P(
    MandelbrotAndJulia, KnownCountTest,
    testing::Values(PointCase{false, {0, 0}, 256, 256}, PointCase{false, {2, 2}, 256, 1},
                    PointCase{false, {0.5, 0.5}, 256, 5}, PointCase{false, {0.3, 0}, 256, 12},
                    PointCase{true, {1, 0}, 256, 10},  // only the step offset pushes it out
                    PointCase{true, {1.1, 0}, 256, 3}, PointCase{true, {0.99, 0}, 256, 256},
                    // Escaping exactly at the cap looks like never escaping.
                    PointCase{false, {0.3, 0}, 12, 12}, PointCase{false, {0.3, 0}, 11, 11},
                    // A cap below one still counts the first step.
                    PointCase{false, {0, 0}, 0, 1}, PointCase{false, {3, 0}, -5, 1}));

TEST(EscapeCountTest, MagnitudeOfExactlyFourHasNotEscaped) {
  // The first step lands exactly on (2, 0).
  const ComplexNumber c{2 - 0.001, -0.001};
  ASSERT_EQ(ComplexMagnitudeSquared(FractalStep({0, 0}, c)), 4.0);
  EXPECT_EQ(EscapeCount({false, {}, 256}, c), 2);
}

TEST(StepIterateTest, OrbitStartsAtZeroAndStopsOnceItHasLeftTheDisc) {
  FractalRenderer renderer;
  renderer.SetFractal(1);  // the orbit ignores the fractal type
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
  renderer.SetFractal(1);
  renderer.SetJuliaPoint(0.3, 0);
  EXPECT_EQ(renderer.IteratePoint(0, 0), 12);  // the same orbit as Mandelbrot c = 0.3
  renderer.SetFractal(2);                       // unknown type: unchanged
  EXPECT_EQ(renderer.GetFractal(), 1);
}

}  // namespace
