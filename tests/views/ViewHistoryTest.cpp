#include "ViewHistory.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ViewState ViewOfWidth(double width) {
  ViewState view;
  view.windowWidth = width;
  return view;
}

TEST(ViewHistoryTest, WalksBackAndForwardAndANewViewDropsWhatLayAhead) {
  // 'r' records a view of that width; 'b' and 'f' expect to reach one, or
  // nothing where the width is 0.
  const std::pair<char, double> steps[] = {{'b', 0},   {'r', 4}, {'r', 2}, {'r', 1}, {'f', 0}, {'b', 2},
                                           {'b', 4},   {'b', 0}, {'f', 2}, {'r', 3}, {'f', 0}, {'r', 0.5},
                                           {'b', 3},   {'b', 2}, {'b', 4}, {'b', 0}, {'f', 2}};
  ViewHistory history;
  for (const auto& [action, width] : steps) {
    SCOPED_TRACE(std::string(1, action) + std::to_string(width));
    if (action == 'r') history.Record(ViewOfWidth(width));
    const auto reached = action == 'b' ? history.Back() : action == 'f' ? history.Forward() : std::nullopt;
    if (action != 'r') EXPECT_EQ(reached ? reached->windowWidth : 0.0, width);
  }
  EXPECT_EQ(history.Size(), 4u);
}

TEST(ViewHistoryTest, ARedrawOfTheSameViewIsNoNewLevelButEveryChangedSettingIs) {
  ViewHistory history;
  const ViewState view = ViewOfWidth(4.0);
  history.Record(view);
  // A centre moved by a rounding step while being restored is the same view.
  ViewState restored = view;
  restored.centerX = std::nextafter(view.centerX, 1.0);
  history.Record(restored);
  EXPECT_EQ(history.Size(), 1u);

  ViewState changed = view;
  for (auto change : {+[](ViewState& v) { v.maxIterations = 512; }, +[](ViewState& v) { v.fractalType = 1; },
                      +[](ViewState& v) { v.juliaReal = 0.25; }, +[](ViewState& v) { v.juliaImaginary = 0.25; },
                      +[](ViewState& v) { v.centerY = 1.0; }, +[](ViewState& v) { v.windowWidth = 2.0; }}) {
    change(changed);
    history.Record(changed);
  }
  EXPECT_EQ(history.Size(), 7u);
}

TEST(ViewHistoryTest, KeepsTheNewest256Levels) {
  ViewHistory history;
  for (int level = 0; level < 300; ++level) history.Record(ViewOfWidth(1.0 + level));
  EXPECT_EQ(history.Size(), ViewHistory::kLevels);
  int steps = 0;
  double oldest = 0.0;
  for (; const auto view = history.Back(); ++steps) oldest = view->windowWidth;
  EXPECT_EQ(steps, 255);
  EXPECT_EQ(oldest, 1.0 + 300 - 256);
}

}  // namespace
