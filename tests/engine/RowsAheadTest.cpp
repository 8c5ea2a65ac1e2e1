#include "RowsAhead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

// A helper still counting a row when the settings change must not hand its
// count out under the new ones, although they count the same row again.
TEST(RowsAheadTest, ACountMadeBeforeAChangeIsNeverHandedOutAfterIt) {
  // One point per row. Row 1 starts at 0, which then turns round the edge of
  // the golden-mean Siegel disk for ever, so its count is the cap however
  // high; rows 0 and 2 escape at once.
  const EscapeParameters siegel{true, {-0.39154087021840001, -0.58778790734696873}, 1 << 22};
  const BlockRowSettings uncapped{siegel, 0, -3, 3, 0, 1, 3};
  BlockRowSettings capped = uncapped;
  capped.parameters.maxIterations = 1000;
  RowsAhead ahead(2);
  std::vector<std::int32_t> counts;
  ahead.CountRow(uncapped, 0, counts);
  // Rows are claimed in order: once row 2 is counted, a helper is on row 1.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (ahead.RowsReady() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  ahead.CountRow(capped, 0, counts);
  // Meanwhile that helper finishes its row, as long as this count takes.
  EXPECT_EQ(EscapeCount(uncapped.parameters, {0, 0}), 1 << 22);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ahead.CountRow(capped, 1, counts);
  EXPECT_EQ(counts, std::vector<std::int32_t>{1000});
}

}  // namespace
