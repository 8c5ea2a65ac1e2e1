#include "EscapeKernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EscapeCount.h"
#include "FastRowCounter.h"

namespace {

struct RowCase {
  std::string name;
  EscapeParameters parameters;
  std::vector<double> reals;
  double imaginary = 0.0;
  std::vector<std::int32_t> counts = {};  // where the reference would take seconds per point
};

EscapeParameters Mandelbrot(std::int32_t cap) { return {false, {}, cap}; }
EscapeParameters Julia(ComplexNumber juliaPoint, std::int32_t cap) { return {true, juliaPoint, cap}; }

// Points spaced like one row of a view, as the renderer computes them.
std::vector<double> RowOfView(double left, double pixelSize, int points) {
  std::vector<double> reals;
  while (static_cast<int>(reals.size()) < points) reals.push_back(left + static_cast<double>(reals.size()) * pixelSize);
  return reals;
}

// Reals r for which r + 0.001 is exactly `edge`, and their neighbours, so that
// with imaginary -0.001 the first orbit value lies on, just inside or just
// outside the escape circle.
std::vector<double> RealsAroundFirstValue(double edge) {
  std::vector<double> reals{edge - 0.001};
  for (int i = 0; i < 8; ++i) reals[0] = std::nextafter(reals[0], edge);
  while (reals.size() < 16) reals.push_back(std::nextafter(reals.back(), -edge));
  return reals;
}

// Counts `row` on every instruction set into a buffer longer than the row,
// and checks the reference counts and that nothing past the row is written.
void ExpectReferenceCounts(const RowCase& row) {
  std::vector<std::int32_t> expected = row.counts;
  if (expected.empty())
    for (double real : row.reals) expected.push_back(EscapeCount(row.parameters, {real, row.imaginary}));
  expected.resize(row.reals.size() + 3, -7);
  for (std::int64_t target : EscapeKernelTargets()) {
    ForceEscapeKernelTarget(target);
    ASSERT_EQ(ActiveEscapeKernelTarget(), target);
    std::vector<std::int32_t> counts(row.reals.size() + 3, -7);
    std::atomic<std::size_t> cursor{0};
    CountEscapes({row.parameters, row.reals, row.imaginary, std::span(counts).first(row.reals.size())}, cursor);
    EXPECT_EQ(counts, expected) << row.name << " on " << EscapeKernelTargetName(target);
  }
  ForceEscapeKernelTarget(0);
}

TEST(EscapeKernelTest, MatchesTheReferenceOnEveryInstructionSet) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> coarse = RowOfView(-2.0, 0.25, 13);
  const std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  // The Julia start value outside the circle is never tested. Orbits settle
  // on values they repeat exactly, or creep past the ghost of a cycle for
  // thousands of steps and then leave, which a loose cycle test would call black.
  std::vector<RowCase> rows{
      {"first value on |z| = 2, right", Mandelbrot(256), RealsAroundFirstValue(2.0), -0.001},
      {"first value on |z| = 2, left", Mandelbrot(256), RealsAroundFirstValue(-2.0), -0.001},
      {"julia start outside the circle", Julia({-4.41, 0.0}, 256), {2.1, -2.1, 2.0, 3.0, 1e10}, 0.0},
      {"huge points overflow", Mandelbrot(300), {1e300, -1e300, 1e155, -1e160, 1e-320}, 1e300},
      {"infinities and NaN", Julia({0.25, 0.0}, 500), {inf, -inf, nan, 0.0}, nan},
      {"infinite constant", Julia({inf, -inf}, 500), {0.0, 1.0}, 0.0},
      {"cardioid", Mandelbrot(65536), RowOfView(-0.5, 0.01, 61), 0.1},
      {"period-2 bulb", Mandelbrot(65536), RowOfView(-1.15, 0.005, 41), 0.02},
      {"period-3 bulb", Mandelbrot(65536), RowOfView(-0.16, 0.004, 21), 0.744},
      {"julia basin", Julia({-0.12, 0.3}, 40000), RowOfView(-0.3, 0.01, 61), 0.05},
      {"beyond the cusp", Mandelbrot(65536), {0.249 + 1e-6, 0.249 + 1e-7, 0.249 + 1e-8}, -0.001},
      {"seahorse neck", Mandelbrot(65536), {-0.751}, -0.001 + 1e-4},
      {"cap 0", Mandelbrot(0), coarse, 0.0},
      {"negative cap", Mandelbrot(-40), coarse, 0.5},
      {"lowest cap", Julia({0.0, 0.0}, std::numeric_limits<std::int32_t>::min()), coarse, 0.0},
      {"highest cap", Mandelbrot(highest), {0.0, -1.0, -0.1, 0.2}, -0.001, {highest, highest, highest, highest}}};
  // Every row length around the vector widths.
  for (int length = 0; length <= 70; ++length)
    rows.push_back({"length " + std::to_string(length), Mandelbrot(100), RowOfView(-2.0, 2.5 / 70, length), 0.3});
  for (const RowCase& row : rows) ExpectReferenceCounts(row);
  // Every build holds the portable kernel, listed last as the slowest, so
  // the loop above has not judged the best instruction set alone.
  const std::string portable = EscapeKernelTargetName(EscapeKernelTargets().back());
  EXPECT_TRUE(portable == "EMU128" || portable == "SCALAR") << portable;
}

// Every core claims points of the row from one cursor; together they count it
// all. One thread has a pool without helpers.
TEST(FastRowCounterTest, MatchesTheReferenceOnEitherSideOfSharingAndForAnyThreadCount) {
  for (unsigned threads : {1u, 5u})
    for (int points : {63, 64, 2049}) {
      const std::vector<double> reals = RowOfView(-2.0, 2.6 / points, points);
      std::vector<std::int32_t> counts(reals.size(), -1), expected(reals.size(), -2);
      FastRowCounter(threads).CountRow(Julia({-0.8, 0.156}, 700), reals, 0.3, counts);
      ReferenceRowCounter().CountRow(Julia({-0.8, 0.156}, 700), reals, 0.3, expected);
      EXPECT_EQ(counts, expected) << threads << " threads, " << points << " points";
    }
}

}  // namespace
