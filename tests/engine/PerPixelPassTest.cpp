#include "PerPixelPass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Rows painted from the counting threads are checked by the render table,
// whose surfaces take them so; a surface that does not gets them in order,
// band after band.
TEST(PerPixelPassTest, EveryRowIsPaintedOnceInOrderWithItsOwnCountsBandAfterBand) {
  // Wide enough that the picture needs several bands.
  const int rows = 1000;
  const BlockRowSettings settings{{false, {}, 64}, -2.0, -1.2, 3.0 / 5000, 5000, 1, rows};
  WorkerPool pool(2);
  int nextRow = 0, mismatches = 0;
  const auto colour = [](std::span<std::int32_t> counts) { for (auto& count : counts) count += 1000; };
  PaintPerPixelPass(settings, rows, pool, colour, [&](int row, std::span<const std::int32_t> colours) {
    mismatches += row != nextRow++;
    std::vector<double> reals;
    const double imaginary = BlockRowPoints(settings, row, reals);
    mismatches += colours.size() != reals.size();
    for (std::size_t x = 0; x < std::min(reals.size(), colours.size()); x += 97)
      mismatches += colours[x] != 1000 + EscapeCount(settings.parameters, {reals[x], imaginary});
  }, false);
  EXPECT_EQ(std::pair(nextRow, mismatches), std::pair(rows, 0));
}

}  // namespace
