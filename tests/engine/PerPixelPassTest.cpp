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
    SCOPED_TRACE(onCountingThreads ? "painted on the counting threads" : "painted in order");
    std::mutex paintMutex;
    std::vector<int> order;
    int mismatches = 0;
    PaintPerPixelPass(
        settings, rows, pool, [](std::span<std::int32_t> counts) { for (std::int32_t& count : counts) count += 1000; },
        [&](int row, std::span<const std::int32_t> colours) {
          std::lock_guard lock(paintMutex);
          order.push_back(row);
          std::vector<double> reals;
          const double imaginary = BlockRowPoints(settings, row, reals);
          mismatches += colours.size() != reals.size();
          for (std::size_t x = 0; x < std::min(reals.size(), colours.size()); x += 97)
            mismatches += colours[x] != 1000 + EscapeCount(settings.parameters, {reals[x], imaginary});
        },
        onCountingThreads);
    ASSERT_EQ(order.size(), static_cast<std::size_t>(rows));
    if (onCountingThreads) std::sort(order.begin(), order.end());
    for (int row = 0; row < rows; ++row) ASSERT_EQ(order[row], row);
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace
