#include "PerPixelPass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

TEST(PerPixelPassTest, EveryRowIsPaintedOnceWithItsOwnCountsInOrderOrFromTheCountingThreads) {
  // Wide enough that the picture needs several bands.
  const int rows = 1000;
  const BlockRowSettings settings{{false, {}, 64}, -2.0, -1.2, 3.0 / 5000, 5000, 1, rows};
  WorkerPool pool(2);
  for (const bool onCountingThreads : {false, true}) {
    std::mutex paintMutex;
    std::vector<int> order;
    int mismatches = 0;
    const auto colour = [](std::span<std::int32_t> counts) { for (std::int32_t& count : counts) count += 1000; };
    PaintPerPixelPass(settings, rows, pool, colour, [&](int row, std::span<const std::int32_t> colours) {
      std::lock_guard lock(paintMutex);
      order.push_back(row);
      std::vector<double> reals;
      const double imaginary = BlockRowPoints(settings, row, reals);
      mismatches += colours.size() != reals.size();
      for (std::size_t x = 0; x < std::min(reals.size(), colours.size()); x += 97)
        mismatches += colours[x] != 1000 + EscapeCount(settings.parameters, {reals[x], imaginary});
    }, onCountingThreads);
    if (onCountingThreads) std::sort(order.begin(), order.end());
    std::vector<int> expected(rows);
    for (int row = 0; row < rows; ++row) expected[row] = row;
    EXPECT_EQ(order, expected) << onCountingThreads;
    EXPECT_EQ(mismatches, 0) << onCountingThreads;
  }
}

}  // namespace
