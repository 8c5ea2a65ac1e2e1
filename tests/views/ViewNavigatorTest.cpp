#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

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
// does; the point under one pixel is then under another, or the same one. A
// flung wheel is bounded; no notch and no drag are no move.
TEST_F(ViewNavigatorTest, MovesCarryThePointUnderTheMouseOrTheHand) {
  const std::tuple<std::function<void()>, double, double, double, double, double> moves[] = {
      {[&] { navigator.ZoomAbout(150.25, 80.5, 1); }, 150.25, 80.5, 150.25, 80.5, 0.5},
      {[&] { navigator.ZoomAbout(0, 399, -3); }, 0, 399, 0, 399, 8},
      {[&] { navigator.ZoomAbout(17.75, 333, 40); }, 17.75, 333, 17.75, 333, 1.0 / 256},
      {[&] { navigator.ZoomAbout(10, 10, 0); }, 10, 10, 10, 10, 1},
      {[&] { navigator.PanByFraction(-0.25, 0.25); }, 150, 300, 300, 200, 1},
      {[&] { navigator.DragBy(37, -12); }, 100, 50, 137, 38, 1},
      {[&] { navigator.DragBy(0, 0); }, 0, 0, 0, 0, 1},
  };
  renderer.WindowCenterAbsolute(-0.7436438870371587, 0.1318259042053119);
  for (const auto& [move, fromX, fromY, toX, toY, widthFactor] : moves) {
    SCOPED_TRACE("from " + std::to_string(fromX) + "," + std::to_string(fromY));
    const double width = renderer.GetWindowWidth() * widthFactor;
    const double real = renderer.GetVirtualX(fromX), imaginary = renderer.GetVirtualY(fromY);
    move();
    EXPECT_EQ(renderer.GetWindowWidth(), width);
    // Far within a pixel: a thousandth of one.
    EXPECT_NEAR(renderer.GetVirtualX(toX), real, width / 600 / 1000);
    EXPECT_NEAR(renderer.GetVirtualY(toY), imaginary, width / 600 / 1000);
    const std::vector<std::string> events = std::exchange(listener.events, {});
    const bool moved = fromX != toX || fromY != toY || widthFactor != 1;
    EXPECT_EQ(events.size() == 3 && events[0] == "stop" && events[2] == "Redraw", moved) << events.size();
  }
}

TEST_F(ViewNavigatorTest, BackAndForwardRestoreEveryDrawnViewAndANewViewDropsWhatLayAhead) {
  // Each setting a view holds changed alone, then a redraw of the same view,
  // which adds nothing.
  const std::function<void()> changes[] = {
      [] {}, [&] { navigator.ZoomAbout(123, 77, 2); }, [&] { navigator.PanByFraction(0.25, 0.25); },
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
  for (int level = 1; level <= 3; ++level) expectShown(navigator.Forward(), level);
  navigator.DragBy(5, 5);
  BeginRender();
  EXPECT_FALSE(navigator.Forward());
  EXPECT_EQ(navigator.History().Size(), 5u);
  expectShown(navigator.Back(), 3);
}

// A view moved by a rounding step while being restored is no new level.
TEST(ViewHistoryTest, KeepsTheNewest256LevelsAndARoundingStepIsNoNewLevel) {
  ViewHistory history;
  ViewState view;
  for (view.windowWidth = 1; view.windowWidth <= 300; ++view.windowWidth) history.Record(view);
  while (history.Back()) continue;
  view = *history.Current();
  EXPECT_EQ(view.windowWidth, 300 - 255);
  view.centerX = std::nextafter(view.centerX, 1.0);
  history.Record(view);
  EXPECT_EQ(std::pair(history.Size(), history.CanGoForward()), std::pair(ViewHistory::kLevels, true));
}

}  // namespace
