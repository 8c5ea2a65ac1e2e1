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
  ViewHistory history;
  EXPECT_FALSE(history.Back());
  for (double width : {4.0, 2.0, 1.0}) history.Record(ViewOfWidth(width));
  EXPECT_FALSE(history.Forward());
  EXPECT_EQ(history.Back()->windowWidth, 2.0);
  EXPECT_EQ(history.Back()->windowWidth, 4.0);
  EXPECT_FALSE(history.Back());
  EXPECT_EQ(history.Forward()->windowWidth, 2.0);

  history.Record(ViewOfWidth(0.5));
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.Size(), 3u);
  EXPECT_EQ(history.Back()->windowWidth, 2.0);
  EXPECT_EQ(history.Back()->windowWidth, 4.0);
}

TEST(ViewHistoryTest, ARedrawOfTheSameViewIsNoNewLevelButEveryChangedSettingIs) {
  ViewHistory history;
  ViewState view = ViewOfWidth(4.0);
  history.Record(view);
  // A centre moved by a rounding step while being restored is the same view.
  ViewState restored = view;
  restored.centerX = std::nextafter(view.centerX, 1.0);
  history.Record(restored);
  EXPECT_EQ(history.Size(), 1u);

  ViewState capped = view;
  capped.maxIterations = 512;
  ViewState julia = view;
  julia.fractalType = 1;
  ViewState juliaMoved = julia;
  juliaMoved.juliaImaginary = 0.25;
  ViewState panned = view;
  panned.centerY = 1.0;
  for (const ViewState& changed : {capped, julia, juliaMoved, panned}) history.Record(changed);
  EXPECT_EQ(history.Size(), 5u);
}

TEST(ViewHistoryTest, KeepsTheNewest256Levels) {
  ViewHistory history;
  for (int level = 0; level < 300; ++level) history.Record(ViewOfWidth(1.0 + level));
  EXPECT_EQ(history.Size(), ViewHistory::kLevels);
  int steps = 0;
  double oldest = 0.0;
  while (const auto view = history.Back()) {
    oldest = view->windowWidth;
    ++steps;
  }
  EXPECT_EQ(steps, 255);
  EXPECT_EQ(oldest, 1.0 + 300 - 256);
}

}  // namespace
