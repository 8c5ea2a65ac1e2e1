#include <gtest/gtest.h>

#include "EscapeCount.h"
#include "FractalRenderer.h"

namespace {

struct PointCase {
  bool isJulia;
  ComplexNumber point;
  std::int32_t expected;
};

class KnownCountTest : public testing::TestWithParam<PointCase> {};

TEST_P(KnownCountTest, MatchesHandComputedOrbit) {
  const PointCase& known = GetParam();
  EscapeParameters parameters;
  parameters.isJulia = known.isJulia;
  parameters.maxIterations = 256;
  EXPECT_EQ(EscapeCount(parameters, known.point), known.expected);
}

INSTANTIATE_TEST_SUITE_P(
    MandelbrotAndJulia, KnownCountTest,
    testing::Values(PointCase{false, {0, 0}, 256},       // inside: the cap
                    PointCase{false, {2, 2}, 1},         // gone after one step
                    PointCase{false, {0.5, 0.5}, 5}, PointCase{false, {0.3, 0}, 12},
                    PointCase{true, {1, 0}, 10},         // only the step offset pushes it out
                    PointCase{true, {1.1, 0}, 3}, PointCase{true, {0.99, 0}, 256}));

TEST(EscapeCountTest, StepOffsetIsAddedAfterTheConstant) {
  // z^2 + c first, then the offset: the order decides the last bits.
  const ComplexNumber c{0.1, 0.7};
  const ComplexNumber z1 = FractalStep({0, 0}, c);
  EXPECT_EQ(z1.real, (0.0 + 0.1) + 0.001);
  EXPECT_EQ(z1.imaginary, (0.0 + 0.7) + 0.001);
  const ComplexNumber z2 = FractalStep(z1, c);
  EXPECT_EQ(z2.real, ((z1.real * z1.real - z1.imaginary * z1.imaginary) + 0.1) + 0.001);
  EXPECT_EQ(z2.imaginary, ((z1.real * z1.imaginary) * 2 + 0.7) + 0.001);
}

TEST(EscapeCountTest, MagnitudeOfExactlyFourHasNotEscaped) {
  // c = (2 - 0.001, -0.001): the first step lands exactly on (2, 0).
  EscapeParameters parameters;
  parameters.maxIterations = 256;
  const ComplexNumber c{2 - 0.001, -0.001};
  const ComplexNumber first = FractalStep({0, 0}, c);
  ASSERT_EQ(ComplexMagnitudeSquared(first), 4.0);
  EXPECT_EQ(EscapeCount(parameters, c), 2);
}

TEST(EscapeCountTest, CapBelowOneStillCountsOneStep) {
  EscapeParameters parameters;
  for (std::int32_t cap : {0, -5, 1}) {
    parameters.maxIterations = cap;
    EXPECT_EQ(EscapeCount(parameters, {0, 0}), 1) << "cap " << cap;
    EXPECT_EQ(EscapeCount(parameters, {3, 0}), 1) << "cap " << cap;
  }
}

TEST(EscapeCountTest, EscapingOnTheLastStepLooksLikeNeverEscaping) {
  EscapeParameters parameters;
  parameters.maxIterations = 12;
  EXPECT_EQ(EscapeCount(parameters, {0.3, 0}), 12);  // escapes at step 12
  parameters.maxIterations = 11;
  EXPECT_EQ(EscapeCount(parameters, {0.3, 0}), 11);
  parameters.maxIterations = 13;
  EXPECT_EQ(EscapeCount(parameters, {0.3, 0}), 12);
}

TEST(EscapeCountTest, RendererUsesItsOwnSettings) {
  FractalRenderer renderer;  // never initialised, as the music tools use it
  EXPECT_EQ(renderer.GetMaxIterations(), 0);
  EXPECT_EQ(renderer.IteratePoint(0.3, 0), 1);
  renderer.SetMaxIterations(256);
  EXPECT_EQ(renderer.IteratePoint(0.3, 0), 12);
  renderer.SetFractal(1);
  EXPECT_EQ(renderer.IteratePoint(1, 0), 10);
  renderer.SetJuliaPoint(0.3, 0);
  EXPECT_EQ(renderer.IteratePoint(0, 0), 12);  // same orbit as Mandelbrot c = 0.3
  renderer.SetFractal(2);                       // unknown type: unchanged
  EXPECT_EQ(renderer.GetFractal(), 1);
  renderer.SetFractal(0);
  EXPECT_EQ(renderer.GetFractal(), 0);
}

TEST(StepIterateTest, OrbitStartsAtZeroWithThePointAsConstant) {
  FractalRenderer renderer;
  renderer.SetFractal(1);  // the orbit ignores the fractal type
  EXPECT_TRUE(renderer.StepIterate(true, 0.5, 0.5));
  EXPECT_EQ(renderer.GetCurrentRealPart(), 0.501);
  EXPECT_EQ(renderer.GetCurrentImaginaryPart(), 0.501);
  EXPECT_TRUE(renderer.StepIterate(false));
  const ComplexNumber expected = FractalStep({0.501, 0.501}, {0.5, 0.5});
  EXPECT_EQ(renderer.GetCurrentRealPart(), expected.real);
  EXPECT_EQ(renderer.GetCurrentImaginaryPart(), expected.imaginary);
}

TEST(StepIterateTest, StopsOnceTheOrbitHasLeftTheDisc) {
  FractalRenderer renderer;
  ASSERT_TRUE(renderer.StepIterate(true, 0.5, 0.5));
  int steps = 1;
  while (renderer.StepIterate(false)) ++steps;
  EXPECT_EQ(steps, 5);  // the escape count of (0.5, 0.5)
  const double real = renderer.GetCurrentRealPart();
  const double imaginary = renderer.GetCurrentImaginaryPart();
  EXPECT_GT(real * real + imaginary * imaginary, 4.0);
  EXPECT_FALSE(renderer.StepIterate(false));
  EXPECT_EQ(renderer.GetCurrentRealPart(), real);
  EXPECT_EQ(renderer.GetCurrentImaginaryPart(), imaginary);
  // A new point starts over whatever the old orbit did.
  EXPECT_TRUE(renderer.StepIterate(true, 0, 0));
  EXPECT_EQ(renderer.GetCurrentRealPart(), 0.001);
}

}  // namespace
