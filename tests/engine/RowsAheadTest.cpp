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
    // Each change differs from the rows counted ahead in one setting only;
    // then a row out of turn (an Abort and a restart from the top), and a
    // row after everything counted ahead was dropped.
    BlockRowSettings cap = first, julia = first, moved = first, wider = first;
    cap.parameters.maxIterations = 301;
    julia.parameters = {true, {-0.4, 0.6}, 300};
    moved.windowTop = std::nextafter(first.windowTop, 0.0);
    wider.width = 201;
    std::vector<std::pair<const BlockRowSettings*, int>> requests;
    for (int row = 0; row < 10; ++row) requests.push_back({&first, row});
    for (const BlockRowSettings* changed : {&cap, &julia, &moved, &wider}) requests.push_back({changed, requests.size()});
    requests.insert(requests.end(), {{&wider, 0}, {nullptr, 0}, {&wider, 1}});
    for (const auto& [settings, row] : requests) {
      if (!settings) {
        ahead.Discard();
        EXPECT_EQ(ahead.RowsReady(), 0u);
        continue;
      }
      ahead.CountRow(*settings, row, counts);
      EXPECT_EQ(counts, ReferenceCounts(*settings, row)) << helpers << " helpers, row " << row;
      WaitForRows(ahead, row == 9 ? 5 : 3);
    }
  }
}

TEST(RowsAheadTest, CountsNoRowsBelowTheSurface) {
  RowsAhead ahead(2);
  std::vector<std::int32_t> counts;
  ahead.CountRow(Settings(50, 8, 20, 100), 0, counts);
  WaitForRows(ahead, 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ahead.RowsReady(), 2u) << "rows 8 and 16 exist, 24 does not";
}

}  // namespace
