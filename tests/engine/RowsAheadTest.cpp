#include "RowsAhead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"
#include "RowCounter.h"

namespace {

BlockRowSettings Settings(int width, int blockSize, double height, std::int32_t cap) {
  BlockRowSettings settings;
  settings.parameters = {false, {}, cap};
  settings.windowLeft = -2.2;
  settings.windowTop = -1.3;
  settings.pixelSize = 3.0 / width;
  settings.width = width;
  settings.blockSize = blockSize;
  settings.height = height;
  return settings;
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
// the comparison that follows holds either way.
template <typename Ready>
void WaitUntil(Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (!ready() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
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
    if (helpers > 0) WaitUntil([&] { return ahead.RowsReady() >= 5; });

    // Each of these differs from the rows counted ahead in one setting only.
    BlockRowSettings cap = first, julia = first, moved = first, wider = first;
    cap.parameters.maxIterations = 301;
    julia.parameters = {true, {-0.4, 0.6}, 300};
    moved.windowTop = std::nextafter(first.windowTop, 0.0);
    wider.width = 201;
    int row = 10;
    for (const BlockRowSettings* changed : {&cap, &julia, &moved, &wider}) {
      ahead.CountRow(*changed, row, counts);
      EXPECT_EQ(counts, ReferenceCounts(*changed, row)) << helpers << " helpers, row " << row;
      if (helpers > 0) WaitUntil([&] { return ahead.RowsReady() >= 3; });
      ++row;
    }
    // A row out of turn (an Abort and a restart from the top) is counted anew.
    ahead.CountRow(wider, 0, counts);
    EXPECT_EQ(counts, ReferenceCounts(wider, 0));
    ahead.Discard();
    EXPECT_EQ(ahead.RowsReady(), 0u);
    ahead.CountRow(wider, 1, counts);
    EXPECT_EQ(counts, ReferenceCounts(wider, 1));
  }
}

TEST(RowsAheadTest, CountsNoRowsBelowTheSurface) {
  RowsAhead ahead(2);
  const BlockRowSettings settings = Settings(50, 8, 20, 100);
  std::vector<std::int32_t> counts;
  ahead.CountRow(settings, 0, counts);
  WaitUntil([&] { return ahead.RowsReady() >= 2; });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ahead.RowsReady(), 2u) << "rows 8 and 16 exist, 24 does not";
}

struct Change {
  int afterCall;
  void (*apply)(FractalRenderer&, MemorySurface&);
};

struct Recorded {
  std::vector<std::int32_t> pixels;
  std::vector<std::string> events;
  std::vector<double> progress;
};

Recorded RenderWithChanges(int width, int height, const std::vector<Change>& changes, bool reference) {
  MemorySurface surface(width, height);
  RecordingListener log;
  ReferenceRowCounter referenceCounter;
  FractalRenderer renderer;
  renderer.SetListener(&log);
  if (reference) renderer.SetRowCounter(&referenceCounter);
  renderer.Initialize(surface);
  renderer.Redraw(false);
  int calls = 0;
  std::size_t next = 0;
  bool more = true;
  while (more && calls < 200000) {
    if (next < changes.size() && changes[next].afterCall == calls) {
      if (!reference) WaitUntil([&] { return renderer.RowsCountedAhead() >= 2; });
      changes[next++].apply(renderer, surface);
    }
    more = renderer.RendererCallback();
    ++calls;
  }
  return {surface.Pixels(), log.events, log.progress};
}

TEST(RowsAheadTest, FastRendersMatchTheReferenceEventForEventThroughChanges) {
  // Changes land in the coarse passes and in the per-pixel pass; the
  // renderer must never paint a count made before them.
  const std::vector<Change> changes{
      {3, [](FractalRenderer& r, MemorySurface&) { r.WindowCenterRelative(40, 30); }},
      {20, [](FractalRenderer& r, MemorySurface&) { r.SetMaxIterations(90); }},
      {60, [](FractalRenderer& r, MemorySurface&) {
         r.SetFractal(1);
         r.SetJuliaPoint(-0.8, 0.156);
       }},
      {80, [](FractalRenderer& r, MemorySurface&) { r.SetJuliaPoint(-0.4, 0.6); }},
      {100, [](FractalRenderer& r, MemorySurface& s) { s.Resize(s.Width() - 7, s.Height() + 5); }},
      {130, [](FractalRenderer& r, MemorySurface&) { r.WindowZoomIn(); }},
  };
  for (auto [width, height] : {std::pair{300, 200}, std::pair{257, 300}, std::pair{1000, 120}, std::pair{64, 400}}) {
    const Recorded fast = RenderWithChanges(width, height, changes, false);
    const Recorded expected = RenderWithChanges(width, height, changes, true);
    EXPECT_EQ(fast.events, expected.events) << width << "x" << height;
    EXPECT_EQ(fast.progress, expected.progress) << width << "x" << height;
    EXPECT_TRUE(fast.pixels == expected.pixels) << width << "x" << height;
  }
}

}  // namespace
