#include "PerPixelPass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"
#include "RowCounter.h"

namespace {

struct Case {
  int width, height;
  double centreX, centreY, viewWidth;
  std::int32_t cap;
  bool julia, draft;
  bool takesShortcut;
};

// One renderer through the whole pump with the reference loop, the other
// through DrawFinalPassAtOnce where it agrees to, the pump otherwise.
TEST(PerPixelPassTest, FinishedPictureIsTheReferencesWhereverTheLastPassCoversEveryPixel) {
  const Case cases[] = {
      {321, 203, 0.0, 0.0, 4.0, 256, false, false, true},
      {200, 113, -0.7436438870371587, 0.1318259042053119, 1e-9, 4096, false, false, true},
      {97, 61, 0.0, 0.0, 3.0, 500, true, false, true},
      {16, 16, -0.1, 0.0, 0.5, 3000, false, false, true},
      {4, 1, 0.0, 0.0, 4.0, 256, false, false, true},   // one pass of single pixels, one row
      {4, 9, 0.0, 0.0, 4.0, 256, false, false, false},  // the same pass ends after its first row
      {1, 1, 0.0, 0.0, 4.0, 256, false, false, true},
      {8, 6, 0.0, 0.0, 4.0, 256, false, false, false},  // ends on 2-pixel blocks
      {1, 5, 0.0, 0.0, 4.0, 256, false, false, false},  // one row of blocks of no size
      {120, 80, 0.0, 0.0, 4.0, 256, false, true, false}, // a draft is 2-pixel blocks
  };
  for (const Case& view : cases) {
    SCOPED_TRACE(std::to_string(view.width) + "x" + std::to_string(view.height) + (view.draft ? " draft" : ""));
    std::vector<std::int32_t> pictures[2];
    for (int fast = 0; fast < 2; ++fast) {
      MemorySurface surface(view.width, view.height, 0x123456);
      RecordingListener log;
      ReferenceRowCounter reference;
      FractalRenderer renderer;
      renderer.SetListener(&log);
      if (!fast) renderer.SetRowCounter(&reference);
      renderer.Initialize(surface);
      renderer.SetMaxIterations(view.cap);
      renderer.WindowSet(view.centreX, view.centreY, view.viewWidth);
      if (view.julia) {
        renderer.SetFractal(1);
        renderer.SetJuliaPoint(-0.4, 0.6);
      }
      renderer.Redraw(view.draft);
      const bool tookShortcut = renderer.DrawFinalPassAtOnce();
      // The reference loop is the yardstick and is never cut short.
      EXPECT_EQ(tookShortcut, fast && view.takesShortcut);
      if (tookShortcut) {
        EXPECT_EQ(log.events.back(), "AfterRender");
        EXPECT_EQ(log.events[log.events.size() - 2], "BeforeRender");
        EXPECT_FALSE(renderer.RendererCallback());
        EXPECT_FALSE(renderer.DrawFinalPassAtOnce());
      }
      while (renderer.RendererCallback()) {
      }
      pictures[fast] = surface.Pixels();
    }
    EXPECT_EQ(pictures[1], pictures[0]);
  }
}

TEST(PerPixelPassTest, EveryRowIsPaintedOnceWithItsOwnCountsInOrderOrFromTheCountingThreads) {
  // Wide enough that the picture needs several bands.
  BlockRowSettings settings;
  settings.parameters = {false, {}, 64};
  settings.windowLeft = -2.0;
  settings.windowTop = -1.2;
  settings.width = 5000;
  settings.pixelSize = 3.0 / settings.width;
  settings.blockSize = 1;
  const int rows = 1000;
  settings.height = rows;
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
          ASSERT_EQ(colours.size(), reals.size());
          for (std::size_t x = 0; x < reals.size(); x += 97)
            if (colours[x] != 1000 + EscapeCount(settings.parameters, {reals[x], imaginary})) ++mismatches;
        },
        onCountingThreads);
    ASSERT_EQ(order.size(), static_cast<std::size_t>(rows));
    if (onCountingThreads) std::sort(order.begin(), order.end());
    for (int row = 0; row < rows; ++row) ASSERT_EQ(order[row], row);
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace
