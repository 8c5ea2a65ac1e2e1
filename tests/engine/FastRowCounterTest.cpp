#include "FastRowCounter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FastRowCounterTest, MatchesTheReferenceForAnyRowLengthAndThreadCount) {
  ReferenceRowCounter reference;
  const EscapeParameters mandelbrot{false, {}, 2000};
  const EscapeParameters julia{true, {-0.8, 0.156}, 700};
  for (unsigned threads : {1u, 2u, 5u}) {
    FastRowCounter counter(threads);
    for (int points : {1, 7, 63, 64, 65, 300, 2049}) {
      std::vector<double> reals;
      for (int x = 0; x < points; ++x) reals.push_back(-2.0 + x * 2.6 / points);
      for (const EscapeParameters& parameters : {mandelbrot, julia}) {
        std::vector<std::int32_t> counts(reals.size(), -1), expected(reals.size(), -2);
        counter.CountRow(parameters, reals, 0.3, counts);
        reference.CountRow(parameters, reals, 0.3, expected);
        EXPECT_EQ(counts, expected) << threads << " threads, " << points << " points, julia " << parameters.isJulia;
      }
    }
  }
}

}  // namespace
