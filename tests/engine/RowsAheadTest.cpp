#include "RowsAhead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "RowCounter.h"

namespace {

BlockRowSettings Settings(int width, int blockSize, double height, std::int32_t cap) {
  return {{false, {}, cap}, -2.2, -1.3, 3.0 / width, width, blockSize, height};
}

std::vector<std::int32_t> ReferenceCounts(const BlockRowSettings& settings, int row) {
  std::vector<double> reals;
  const double imaginary = BlockRowPoints(settings, row, reals);
  std::vector<std::int32_t> counts(reals.size());
  ReferenceRowCounter().CountRow(settings.parameters, reals, imaginary, counts);
  return counts;
}

// Gives the helpers time to count ahead, so that a following change meets
// rows counted under the old settings. Gives up quietly on a busy machine:
// what follows holds either way.
void WaitForRows(const RowsAhead& ahead, std::size_t rows) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (ahead.HelperCount() > 0 && ahead.RowsReady() < rows && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
}

TEST(RowsAheadTest, HandsOutReferenceCountsAndDropsThoseOfOldSettings) {
  for (unsigned helpers : {0u, 1u, 3u}) {
    RowsAhead ahead(helpers);
    const BlockRowSettings first = Settings(200, 1, 60, 300);
    std::vector<std::int32_t> counts;
    for (int row = 0; row < 10; ++row) {
      ahead.CountRow(first, row, counts);
      ASSERT_EQ(counts, ReferenceCounts(first, row)) << helpers << " helpers, row " << row;
    }
    // Each change differs from the rows counted ahead in one setting only;
    // then a row out of turn (an Abort and a restart from the top), and one
    // after everything counted ahead was dropped.
    BlockRowSettings cap = first, julia = first, moved = first, wider = first;
    cap.parameters.maxIterations = 301;
    julia.parameters = {true, {-0.4, 0.6}, 300};
    moved.windowTop = std::nextafter(first.windowTop, 0.0);
    wider.width = 201;
    for (const auto& [changed, row] : std::vector<std::pair<BlockRowSettings*, int>>{
             {&cap, 10}, {&julia, 11}, {&moved, 12}, {&wider, 13}, {&wider, 0}, {&wider, 1}}) {
      WaitForRows(ahead, 3);
      if (row == 1) {
        ahead.Discard();
        EXPECT_EQ(ahead.RowsReady(), 0u);
      }
      ahead.CountRow(*changed, row, counts);
      EXPECT_EQ(counts, ReferenceCounts(*changed, row)) << helpers << " helpers, row " << row;
    }
  }
}

}  // namespace
