#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"
#include "ViewNavigator.h"

namespace {

class ViewNavigatorTest : public ::testing::Test {
 protected:
  ViewNavigatorTest() {
    renderer.Initialize(surface);
    renderer.SetListener(&listener);
  }

  // What a host does when a render begins: the drawn view is recorded.
  void BeginRender() {
    ASSERT_TRUE(renderer.RendererCallback());
    navigator.RecordCurrent();
    renderer.Abort();
    listener.events.clear();
  }

  MemorySurface surface{600, 400};
  FractalRenderer renderer;
  RecordingListener listener;
  ViewNavigator navigator{renderer, surface, [this] { listener.events.push_back("stop"); }};
};

// Each move stops the render, changes the view and redraws as a box zoom
// does; the point under one pixel is then under another, or the same one.
TEST_F(ViewNavigatorTest, MovesCarryThePointUnderTheMouseOrTheHand) {
  struct Move {
    void (*make)(ViewNavigator&);
    double fromX, fromY, toX, toY, widthFactor;
  };
  const Move moves[] = {
      {[](ViewNavigator& n) { n.ZoomAbout(150.25, 80.5, 1); }, 150.25, 80.5, 150.25, 80.5, 0.5},
      {[](ViewNavigator& n) { n.ZoomAbout(0, 399, -3); }, 0, 399, 0, 399, 8},
      // A flung wheel is bounded; no notch is no move.
      {[](ViewNavigator& n) { n.ZoomAbout(17.75, 333, 40); }, 17.75, 333, 17.75, 333, 1.0 / 256},
      {[](ViewNavigator& n) { n.ZoomAbout(10, 10, 0); }, 10, 10, 10, 10, 1},
      {[](ViewNavigator& n) { n.PanByFraction(0.25, 0); }, 450, 200, 300, 200, 1},
      {[](ViewNavigator& n) { n.PanByFraction(-0.25, 0.25); }, 150, 300, 300, 200, 1},
      {[](ViewNavigator& n) { n.DragBy(37, -12); }, 100, 50, 137, 38, 1},
      {[](ViewNavigator& n) { n.DragBy(0, 0); }, 0, 0, 0, 0, 1},
  };
  renderer.WindowCenterAbsolute(-0.7436438870371587, 0.1318259042053119);
  for (const Move& move : moves) {
    SCOPED_TRACE("from " + std::to_string(move.fromX) + "," + std::to_string(move.fromY));
    const double width = renderer.GetWindowWidth() * move.widthFactor;
    const double real = renderer.GetVirtualX(move.fromX);
    const double imaginary = renderer.GetVirtualY(move.fromY);
    move.make(navigator);
    EXPECT_EQ(renderer.GetWindowWidth(), width);
    // Far within a pixel: a thousandth of one.
    EXPECT_NEAR(renderer.GetVirtualX(move.toX), real, width / 600 / 1000);
    EXPECT_NEAR(renderer.GetVirtualY(move.toY), imaginary, width / 600 / 1000);
    const bool moved = move.fromX != move.toX || move.fromY != move.toY || move.widthFactor != 1;
    const std::vector<std::string> events = std::exchange(listener.events, {});
    ASSERT_EQ(events.size(), moved ? 3u : 0u);
    EXPECT_TRUE(!moved || (events[0] == "stop" && events[1].starts_with("ZoomChange") && events[2] == "Redraw"));
  }
}

TEST_F(ViewNavigatorTest, BackAndForwardRestoreEveryDrawnViewAndANewViewDropsWhatLayAhead) {
  // Each setting a view holds changed alone, then a redraw of the same view,
  // which adds nothing.
  const std::function<void()> changes[] = {
      [] {}, [&] { navigator.ZoomAbout(123, 77, 2); }, [&] { navigator.PanByFraction(0.25, 0); },
      [&] { navigator.PanByFraction(0, 0.25); },
      // A box zoom takes its height from the box, not from the surface.
      [&] { renderer.WindowZoom(100, 50, 210, 140); }, [&] { renderer.SetMaxIterations(1024); },
      [&] { renderer.SetFractal(1); }, [&] { renderer.SetJuliaPoint(-0.8, 0); },
      [&] { renderer.SetJuliaPoint(-0.8, 0.156); }, [] {}};
  std::vector<ViewState> drawn;
  for (const auto& change : changes) {
    change();
    renderer.Redraw(false);
    BeginRender();
    drawn.push_back(ViewState::Capture(renderer, surface));
  }
  drawn.pop_back();
  ASSERT_EQ(navigator.History().Size(), drawn.size());
  const auto expectShown = [&](bool reached, int level) {
    ASSERT_TRUE(reached);
    EXPECT_TRUE(ViewState::Capture(renderer, surface).ShowsSameAs(drawn[level]));
    const auto& events = listener.events;
    EXPECT_TRUE(!events.empty() && events.front() == "stop" && events.back() == "Redraw");
    // The restored view begins to render; that is no new level.
    BeginRender();
  };
  const int newest = static_cast<int>(drawn.size()) - 1;
  for (int level = newest - 1; level >= 0; --level) expectShown(navigator.Back(), level);
  EXPECT_FALSE(navigator.Back());
  for (int level = 1; level <= newest; ++level) expectShown(navigator.Forward(), level);
  EXPECT_FALSE(navigator.Forward());
  EXPECT_TRUE(listener.events.empty());
  EXPECT_EQ(navigator.History().Size(), drawn.size());
  for (int level = newest - 1; level >= 3; --level) expectShown(navigator.Back(), level);
  navigator.DragBy(5, 5);
  BeginRender();
  EXPECT_FALSE(navigator.Forward());
  EXPECT_EQ(navigator.History().Size(), 5u);
  expectShown(navigator.Back(), 3);
}

// A view moved by a rounding step while being restored is no new level.
TEST(ViewHistoryTest, KeepsTheNewest256DifferentLevels) {
  ViewHistory history;
  for (int level = 0; level < 300; ++level) {
    ViewState view;
    view.windowWidth = 1.0 + level;
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
