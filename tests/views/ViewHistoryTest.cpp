#include <gtest/gtest.h>

#include <cmath>

#include "ViewHistory.h"

namespace {

ViewState ViewOfWidth(double width) {
  ViewState view;
  view.windowWidth = width;
  return view;
}

TEST(ViewHistoryTest, WalksBackAndForwardAndANewViewDropsWhatLayAhead) {
  // 'r' records a view of that width; 'b' and 'f' expect to reach one, or
  // nothing where the width is 0.
  const std::pair<char, double> steps[] = {{'b', 0}, {'r', 4}, {'r', 2}, {'r', 1}, {'f', 0}, {'b', 2},
                                           {'b', 4}, {'b', 0}, {'f', 2}, {'r', 3}, {'f', 0}, {'r', 0.5},
                                           {'b', 3}, {'b', 2}, {'b', 4}, {'b', 0}, {'f', 2}};
  ViewHistory history;
  for (const auto& [action, width] : steps) {
    SCOPED_TRACE(testing::Message() << action << width);
    if (action == 'r') history.Record(ViewOfWidth(width));
    const auto reached = action == 'b' ? history.Back() : action == 'f' ? history.Forward() : std::nullopt;
    if (action != 'r') {
      EXPECT_EQ(reached ? reached->windowWidth : 0.0, width);
    }
  }
  EXPECT_EQ(history.Size(), 4u);
}

// A view moved by a rounding step while being restored is no new level.
TEST(ViewHistoryTest, KeepsTheNewest256DifferentLevels) {
  ViewHistory history;
  for (int level = 0; level < 300; ++level) {
    ViewState view = ViewOfWidth(1.0 + level);
    history.Record(view);
    view.centerX = std::nextafter(view.centerX, 1.0);
    history.Record(view);
  }
  EXPECT_EQ(history.Size(), ViewHistory::kLevels);
  int steps = 0;
  double oldest = 0.0;
  for (; const auto view = history.Back(); ++steps) oldest = view->windowWidth;
  EXPECT_EQ(steps, 255);
  EXPECT_EQ(oldest, 1.0 + 300 - 256);
}

}  // namespace
