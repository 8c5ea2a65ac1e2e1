#include "ViewNavigator.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"

namespace {

class ViewNavigatorTest : public ::testing::Test {
 protected:
  ViewNavigatorTest() {
    renderer.Initialize(surface);
    renderer.WindowCenterAbsolute(0, 0);
    renderer.SetListener(&listener);
  }

  // The view's events since the last call, with the host's stop marked.
  std::vector<std::string> TakeEvents() { return std::exchange(listener.events, {}); }

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
// does; the point under one pixel is then under another (or the same).
TEST_F(ViewNavigatorTest, MovesCarryThePointUnderTheMouseOrTheHand) {
  struct Move {
    void (*make)(ViewNavigator&);
    double fromX, fromY, toX, toY;
    double widthFactor;
  };
  // Notches accumulate on one deep view: in, in again elsewhere, out past the start.
  const Move moves[] = {
      {[](ViewNavigator& n) { n.ZoomAbout(150.25, 80.5, 1); }, 150.25, 80.5, 150.25, 80.5, 0.5},
      {[](ViewNavigator& n) { n.ZoomAbout(599, 0, 2); }, 599, 0, 599, 0, 0.25},
      {[](ViewNavigator& n) { n.ZoomAbout(0, 399, -1); }, 0, 399, 0, 399, 2},
      {[](ViewNavigator& n) { n.ZoomAbout(300, 200, -3); }, 300, 200, 300, 200, 8},
      {[](ViewNavigator& n) { n.ZoomAbout(17.75, 333, 1); }, 17.75, 333, 17.75, 333, 0.5},
      // A flung wheel is bounded; no notch is no move.
      {[](ViewNavigator& n) { n.ZoomAbout(300, 200, 40); }, 300, 200, 300, 200, 1.0 / 256},
      {[](ViewNavigator& n) { n.ZoomAbout(10, 10, 0); }, 10, 10, 10, 10, 1},
      {[](ViewNavigator& n) { n.PanByFraction(0.25, 0); }, 450, 200, 300, 200, 1},
      {[](ViewNavigator& n) { n.PanByFraction(0, 0.25); }, 300, 300, 300, 200, 1},
      {[](ViewNavigator& n) { n.PanByFraction(-0.25, -0.25); }, 150, 100, 300, 200, 1},
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
    EXPECT_NEAR(renderer.GetWindowHeight(), width * 400 / 600, width * 1e-15);
    // Far within a pixel: a thousandth of one.
    EXPECT_NEAR(renderer.GetVirtualX(move.toX), real, width / 600 / 1000);
    EXPECT_NEAR(renderer.GetVirtualY(move.toY), imaginary, width / 600 / 1000);
    const std::vector<std::string> events = TakeEvents();
    if (move.fromX == move.toX && move.fromY == move.toY && move.widthFactor == 1) {
      EXPECT_TRUE(events.empty());
      continue;
    }
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "stop");
    EXPECT_EQ(events[1].rfind("ZoomChange", 0), 0u);
    EXPECT_EQ(events[2], "Redraw");
  }
}

TEST_F(ViewNavigatorTest, BackAndForwardRestoreEveryDrawnViewAndRedraw) {
  BeginRender();
  std::vector<ViewState> drawn{ViewState::Capture(renderer, surface)};
  const std::function<void()> changes[] = {
      [&] { navigator.ZoomAbout(123, 77, 2); },
      // A box zoom takes its height from the box, not from the surface.
      [&] { renderer.WindowZoom(100, 50, 210, 140); },
      [&] { renderer.SetMaxIterations(1024); },
      [&] {
        renderer.SetFractal(1);
        renderer.SetJuliaPoint(-0.8, 0.156);
        renderer.WindowReset();
      },
      [&] { navigator.PanByFraction(0, 0.25); },
  };
  for (const auto& change : changes) {
    change();
    renderer.Redraw(false);
    BeginRender();
    drawn.push_back(ViewState::Capture(renderer, surface));
  }
  // A redraw of the same view adds nothing.
  renderer.Redraw(false);
  BeginRender();
  ASSERT_EQ(navigator.History().Size(), drawn.size());

  const auto expectShown = [&](const ViewState& expected) {
    EXPECT_TRUE(ViewState::Capture(renderer, surface).ShowsSameAs(expected));
    const std::vector<std::string> events = TakeEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "stop");
    EXPECT_EQ(events.back(), "Redraw");
    // The restored view begins to render; that is no new level.
    BeginRender();
  };
  for (int level = static_cast<int>(drawn.size()) - 2; level >= 0; --level) {
    SCOPED_TRACE("back to " + std::to_string(level));
    ASSERT_TRUE(navigator.Back());
    expectShown(drawn[level]);
  }
  EXPECT_FALSE(navigator.Back());
  EXPECT_TRUE(TakeEvents().empty());
  for (std::size_t level = 1; level < drawn.size(); ++level) {
    ASSERT_TRUE(navigator.Forward());
    expectShown(drawn[level]);
  }
  EXPECT_FALSE(navigator.Forward());
  EXPECT_EQ(navigator.History().Size(), drawn.size());
}

}  // namespace
