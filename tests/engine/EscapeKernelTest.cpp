#include "EscapeKernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "EscapeCount.h"

namespace {

struct RowCase {
  std::string name;
  EscapeParameters parameters;
  std::vector<double> reals;
  double imaginary = 0.0;
};

std::vector<std::int32_t> ReferenceCounts(const RowCase& row) {
  std::vector<std::int32_t> counts;
  for (double real : row.reals) counts.push_back(EscapeCount(row.parameters, {real, row.imaginary}));
  return counts;
}

std::vector<std::int32_t> KernelCounts(const RowCase& row) {
  std::vector<std::int32_t> counts(row.reals.size(), -7);
  std::atomic<std::size_t> cursor{0};
  CountEscapes({row.parameters, row.reals, row.imaginary, counts}, cursor);
  return counts;
}

EscapeParameters Mandelbrot(std::int32_t cap) { return {false, {}, cap}; }
EscapeParameters Julia(ComplexNumber juliaPoint, std::int32_t cap) { return {true, juliaPoint, cap}; }

// Points spaced like one row of a view, as the renderer computes them.
std::vector<double> RowOfView(double left, double pixelSize, int width) {
  std::vector<double> reals;
  for (int x = 0; x <= width; ++x) reals.push_back(left + x * pixelSize);
  return reals;
}

// Reals r for which r + 0.001 is exactly `edge`, and their neighbours, so that
// with imaginary -0.001 the first orbit value lies on, just inside or just
// outside the escape circle.
std::vector<double> RealsAroundFirstValue(double edge) {
  std::vector<double> reals;
  double r = edge - 0.001;
  for (int i = 0; i < 8; ++i) r = std::nextafter(r, edge);
  for (int i = 0; i < 16; ++i) {
    reals.push_back(r);
    r = std::nextafter(r, -edge);
  }
  return reals;
}

// Each test runs the kernel on every instruction set and puts the best back.
class EscapeKernelTest : public ::testing::Test {
 protected:
  void SetUp() override { targets_ = EscapeKernelTargets(); }
  void TearDown() override { ForceEscapeKernelTarget(0); }

  void ExpectReferenceCounts(const std::vector<RowCase>& rows) {
    for (const RowCase& row : rows) {
      const std::vector<std::int32_t> expected = ReferenceCounts(row);
      for (std::int64_t target : targets_) {
        ForceEscapeKernelTarget(target);
        ASSERT_EQ(ActiveEscapeKernelTarget(), target);
        EXPECT_EQ(KernelCounts(row), expected) << row.name << " on " << EscapeKernelTargetName(target);
      }
    }
  }

  std::vector<std::int64_t> targets_;
};

TEST_F(EscapeKernelTest, MatchesTheReferenceOnRandomViews) {
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const std::int32_t caps[] = {1, 2, 3, 17, 64, 256, 1000, 4096, 65536};
  std::vector<RowCase> rows;
  for (int i = 0; i < 48; ++i) {
    const bool julia = i % 2 == 1;
    const std::int32_t cap = caps[i % std::size(caps)];
    // Widths from far below a pixel's rounding step to far beyond the set.
    const double width = std::pow(10.0, -15.0 + 19.0 * unit(random));
    const double centreX = -2.0 + 2.6 * unit(random);
    const double centreY = -1.2 + 2.4 * unit(random);
    const int pixels = 40 + static_cast<int>(unit(random) * 120);
    RowCase row{"random view " + std::to_string(i), Mandelbrot(cap), {}, centreY};
    if (julia) row.parameters = Julia({-1.0 + 1.3 * unit(random), -0.8 + 1.6 * unit(random)}, cap);
    row.reals = RowOfView(centreX - width / 2, width / pixels, pixels);
    rows.push_back(row);
  }
  ExpectReferenceCounts(rows);
}

TEST_F(EscapeKernelTest, MatchesTheReferenceOnTheEscapeCircleAndAtExtremes) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ExpectReferenceCounts({
      {"first value on |z| = 2, right", Mandelbrot(256), RealsAroundFirstValue(2.0), -0.001},
      {"first value on |z| = 2, left", Mandelbrot(256), RealsAroundFirstValue(-2.0), -0.001},
      // The Julia start value itself lies outside but is never tested.
      {"julia start outside the circle", Julia({-4.41, 0.0}, 256), {2.1, -2.1, 2.0, 3.0, 1e10}, 0.0},
      {"huge points overflow", Mandelbrot(300), {1e300, -1e300, 1e155, -1e160, 1e-320}, 1e300},
      {"infinities and NaN", Julia({0.25, 0.0}, 500), {inf, -inf, nan, 0.0}, nan},
      {"infinite constant", Julia({inf, -inf}, 500), {0.0, 1.0}, 0.0},
  });
}

TEST_F(EscapeKernelTest, OrbitsThatRepeatOrOnlyLingerNearACycle) {
  // Inside the cardioid, the period-2 and period-3 bulbs and a Julia basin the
  // orbit settles on values it repeats exactly: the cap. Just past the cusp
  // and the seahorse neck it creeps past a ghost of a cycle for thousands of
  // steps and then leaves; a loose cycle test would call those black.
  const std::vector<std::pair<RowCase, bool>> rows{
      {{"cardioid", Mandelbrot(65536), RowOfView(-0.5, 0.01, 60), 0.1}, true},
      {{"period-2 bulb", Mandelbrot(65536), RowOfView(-1.15, 0.005, 40), 0.02}, true},
      {{"period-3 bulb", Mandelbrot(65536), RowOfView(-0.16, 0.004, 20), 0.744}, true},
      {{"julia basin", Julia({-0.12, 0.3}, 40000), RowOfView(-0.3, 0.01, 60), 0.05}, true},
      {{"beyond the cusp", Mandelbrot(65536), {0.249 + 1e-6, 0.249 + 1e-7, 0.249 + 1e-8}, -0.001}, false},
      {{"seahorse neck", Mandelbrot(65536), {-0.751}, -0.001 + 1e-4}, false},
  };
  for (const auto& [row, cycles] : rows) {
    ExpectReferenceCounts({row});
    for (std::int32_t count : KernelCounts(row)) {
      if (cycles) EXPECT_EQ(count, row.parameters.maxIterations) << row.name;
      else EXPECT_TRUE(count > 1000 && count < row.parameters.maxIterations) << row.name << ": " << count;
    }
  }
}

TEST_F(EscapeKernelTest, CapsAtTheEndsOfTheirRange) {
  const std::vector<double> reals = RowOfView(-2.0, 0.25, 12);
  ExpectReferenceCounts({{"cap 0", Mandelbrot(0), reals, 0.0},
                         {"negative cap", Mandelbrot(-40), reals, 0.5},
                         {"lowest cap", Julia({0.0, 0.0}, std::numeric_limits<std::int32_t>::min()), reals, 0.0}});
  // The reference would take seconds per point here; these never escape.
  const std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  for (std::int64_t target : targets_) {
    ForceEscapeKernelTarget(target);
    for (std::int32_t count : KernelCounts({"highest cap", Mandelbrot(highest), {0.0, -1.0, -0.1, 0.2}, -0.001}))
      EXPECT_EQ(count, highest) << EscapeKernelTargetName(target);
  }
}

TEST_F(EscapeKernelTest, RowsOfEveryLengthAreFilledExactly) {
  const std::int32_t kUntouched = -7;
  for (std::size_t length = 0; length <= 70; ++length) {
    const RowCase row{"length " + std::to_string(length), Mandelbrot(100),
                      RowOfView(-2.0, 2.5 / 70, static_cast<int>(length) - 1), 0.3};
    std::vector<std::int32_t> counts(length + 4, kUntouched);
    std::atomic<std::size_t> cursor{0};
    CountEscapes({row.parameters, row.reals, row.imaginary, std::span(counts).first(length)}, cursor);
    const std::vector<std::int32_t> expected = ReferenceCounts(row);
    for (std::size_t i = 0; i < length; ++i) EXPECT_EQ(counts[i], expected[i]) << row.name << " at " << i;
    for (std::size_t i = length; i < counts.size(); ++i) EXPECT_EQ(counts[i], kUntouched) << row.name;
  }
}

}  // namespace
