#include "PassSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

struct Pass {
  int number;
  int count;
  int blockSize;
  bool operator==(const Pass&) const = default;
};

// The passes of a full render as the original loop computes them, written
// out independently: nearest(edge / 4) each pass, 1 on the last pass, and a
// pass of 1 is the last. Gives nothing when a pass before the last comes out
// at 0, the schedule that used to draw forever.
std::optional<std::vector<Pass>> OriginalPasses(int width) {
  const int count = static_cast<int>(std::floor(std::pow(width, 0.25)));
  int pass = 2;
  int edge = static_cast<int>(std::nearbyint(width / 4.0));
  std::vector<Pass> passes{{pass, count, edge}};
  for (;;) {
    ++pass;
    edge = static_cast<int>(std::nearbyint(edge / 4.0));
    if (pass == count) edge = 1;
    if (edge == 1) pass = count;
    if (pass > count) return passes;
    if (edge == 0) return std::nullopt;
    passes.push_back({pass, count, edge});
  }
}

std::vector<Pass> ScheduledPasses(int width) {
  // The first pass is drawn even when its number is past the count.
  PassPosition position = FirstPass(width, false);
  std::vector<Pass> passes{{position.currentPass, position.passCount, position.blockSize}};
  for (position = NextPass(position); !position.IsFinished() && passes.size() < 16; position = NextPass(position))
    passes.push_back({position.currentPass, position.passCount, position.blockSize});
  return passes;
}

TEST(PassScheduleTest, EveryWidthEndsAndKeepsTheOriginalScheduleWhereThatEnded) {
  int mended = 0;
  for (int width = 1; width <= 32767; ++width) {
    const std::vector<Pass> passes = ScheduledPasses(width);
    ASSERT_LE(passes.size(), 8u) << width;
    const std::optional<std::vector<Pass>> original = OriginalPasses(width);
    if (original) {
      ASSERT_EQ(passes, *original) << width;
      continue;
    }
    ++mended;
    // Where the edge ran out, the prefix stays and one per-pixel pass,
    // announced as the last, ends the render.
    ASSERT_GE(passes.size(), 2u) << width;
    const Pass& last = passes.back();
    EXPECT_EQ(last.blockSize, 1) << width;
    EXPECT_EQ(last.number, last.count) << width;
    for (std::size_t i = 0; i + 1 < passes.size(); ++i) {
      EXPECT_GT(passes[i].blockSize, 1) << width;
      EXPECT_LT(passes[i].number, last.count) << width;
    }
  }
  // 6561-10922 and 21846-32767.
  EXPECT_EQ(mended, (10922 - 6561 + 1) + (32767 - 21846 + 1));
}

TEST(PassScheduleTest, WideSurfacesFinishWithAPerPixelPass) {
  const std::vector<Pass> expected{{2, 9, 1920}, {3, 9, 480}, {4, 9, 120}, {5, 9, 30},
                                   {6, 9, 8},    {7, 9, 2},   {9, 9, 1}};
  EXPECT_EQ(ScheduledPasses(7680), expected);
  EXPECT_EQ(ScheduledPasses(32767).back(), (Pass{13, 13, 1}));
  // Just below the first faulty width the last pass is reached normally.
  EXPECT_EQ(ScheduledPasses(6560).back(), (Pass{8, 8, 1}));
}

// Steps through one pass of `blockSize` on a surface `height` high; the
// Progress values before each row, and whether the pass ended in time.
std::vector<double> ProgressOfOnePass(int blockSize, int height, int firstRow) {
  PassPosition position{static_cast<std::int16_t>(firstRow), static_cast<std::int16_t>(blockSize), 2, 9};
  std::vector<double> progress;
  for (int rows = 0; rows <= height + 1; ++rows) {
    progress.push_back(ProgressBeforeRow(position, height));
    if (AdvanceRow(position, height)) return progress;
  }
  progress.push_back(-1.0);  // never ended
  return progress;
}

TEST(PassScheduleTest, EveryHeightEndsItsPassesWithoutNegativeProgress) {
  for (int blockSize : {1, 2, 3, 7, 8, 30, 120, 480, 1920, 8191, 32767}) {
    for (int height = 1; height <= 32767; ++height) {
      const int lastRow = (height - 1) / blockSize * blockSize;
      // Small blocks are walked from near the bottom: the wrap happened there.
      const int firstRow = blockSize < 30 ? std::max(0, lastRow - 3 * blockSize) : 0;
      const std::vector<double> progress = ProgressOfOnePass(blockSize, height, firstRow);
      ASSERT_EQ(progress.size(), static_cast<std::size_t>((lastRow - firstRow) / blockSize + 1))
          << "block " << blockSize << ", height " << height;
      for (double value : progress) ASSERT_GT(value, 0.0) << "block " << blockSize << ", height " << height;
      ASSERT_GE(progress.back(), 1.0) << "block " << blockSize << ", height " << height;
    }
  }
}

TEST(PassScheduleTest, DraftIsOneSweepWhateverTheWidth) {
  PassPosition position = FirstPass(500, true);
  int rows = 1;
  while (!AdvanceRow(position, 7)) ++rows;
  EXPECT_EQ(rows, 4);  // rows 0, 2, 4, 6
  EXPECT_TRUE(position.IsFinished());
  EXPECT_FALSE(position.IsAnnounced());
}

}  // namespace
