#include "PassSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Pass { int number, count, blockSize; bool operator==(const Pass&) const = default; };

// The passes of a full render as the original loop computes them, written
// out independently: nearest(edge / 4) each pass, 1 on the last pass, and a
// pass of 1 is the last. Where a pass before the last comes out at 0 (the
// schedule that used to draw forever), the passes before it and `ranOut`.
std::vector<Pass> OriginalPasses(int width, bool& ranOut) {
  const int count = static_cast<int>(std::floor(std::pow(width, 0.25)));
  int pass = 2;
  int edge = static_cast<int>(std::nearbyint(width / 4.0));
  std::vector<Pass> passes{{pass, count, edge}};
  for (ranOut = false;;) {
    edge = static_cast<int>(std::nearbyint(edge / 4.0));
    if (++pass == count) edge = 1;
    if (edge == 1) pass = count;
    if (pass > count) return passes;
    if ((ranOut = edge == 0)) return passes;
    passes.push_back({pass, count, edge});
  }
}

TEST(PassScheduleTest, EveryWidthEndsAndKeepsTheOriginalScheduleWhereThatEnded) {
  int mended = 0;
  for (int width = 1; width <= 32767; ++width) {
    // The first pass is drawn even when its number is past the count.
    PassPosition position = FirstPass(width, false);
    std::vector<Pass> passes{{position.currentPass, position.passCount, position.blockSize}};
    for (position = NextPass(position); !position.IsFinished() && passes.size() < 16; position = NextPass(position))
      passes.push_back({position.currentPass, position.passCount, position.blockSize});
    bool ranOut = false;
    std::vector<Pass> expected = OriginalPasses(width, ranOut);
    // Where the edge ran out, one per-pixel pass, announced as the last,
    // ends the render.
    if (ranOut) expected.push_back({expected[0].count, expected[0].count, 1});
    mended += ranOut;
    ASSERT_EQ(passes, expected) << width;
  }
  // 6561-10922 and 21846-32767.
  EXPECT_EQ(mended, (10922 - 6561 + 1) + (32767 - 21846 + 1));
}

}  // namespace
