#include "ViewNavigator.h"

#include <gtest/gtest.h>

#include <cmath>
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
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> events = listener.Milestones();
    listener.events.clear();
    return events;
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
  int stops = 0;
  ViewNavigator navigator{renderer, surface, [this] {
                            ++stops;
                            listener.events.push_back("stop");
                          }};
};

TEST_F(ViewNavigatorTest, WheelZoomKeepsThePointUnderTheMouseAndRedrawsAsABoxZoomDoes) {
  struct Case {
    double x, y;
    int notches;
    double widthAfter;
  };
  // Notches accumulate on one view: in, in again elsewhere, out past the start.
  const Case cases[] = {{150.25, 80.5, 1, 2.0}, {599, 0, 2, 0.5}, {0, 399, -1, 1.0}, {300, 200, -3, 8.0},
                        {17.75, 333.0, 1, 4.0}};
  renderer.WindowCenterAbsolute(-0.7436438870371587, 0.1318259042053119);
  for (const Case& c : cases) {
    SCOPED_TRACE("at " + std::to_string(c.x) + "," + std::to_string(c.y));
    const double realBefore = renderer.GetVirtualX(c.x);
    const double imaginaryBefore = renderer.GetVirtualY(c.y);
    navigator.ZoomAbout(c.x, c.y, c.notches);
    EXPECT_EQ(renderer.GetWindowWidth(), c.widthAfter);
    const double pixelSize = c.widthAfter / 600;
    // Far within a pixel: a thousandth of one.
    EXPECT_NEAR(renderer.GetVirtualX(c.x), realBefore, pixelSize / 1000);
    EXPECT_NEAR(renderer.GetVirtualY(c.y), imaginaryBefore, pixelSize / 1000);
    EXPECT_NEAR(renderer.GetWindowHeight(), c.widthAfter * 400 / 600, 1e-15);
    const std::vector<std::string> events = TakeEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "stop");
    EXPECT_EQ(events[1].rfind("ZoomChange", 0), 0u);
    EXPECT_EQ(events[2], "Redraw");
  }
}

TEST_F(ViewNavigatorTest, NoNotchAndAFlungWheelAreBounded) {
  navigator.ZoomAbout(10, 10, 0);
  EXPECT_TRUE(TakeEvents().empty());
  navigator.ZoomAbout(300, 200, 40);
  EXPECT_EQ(renderer.GetWindowWidth(), 4.0 / 256);
}

TEST_F(ViewNavigatorTest, PansAQuarterViewAndADragCarriesThePointWithTheHand) {
  navigator.PanByFraction(0.25, 0);
  EXPECT_EQ(renderer.GetWindowCenterX(), 1.0);
  navigator.PanByFraction(0, -0.25);
  EXPECT_DOUBLE_EQ(renderer.GetWindowCenterY(), -(4.0 * 400 / 600) / 4);
  EXPECT_EQ((TakeEvents()), (std::vector<std::string>{"stop", "ZoomChange 1", "Redraw", "stop", "ZoomChange 1",
                                                       "Redraw"}));
  navigator.PanByFraction(-0.25, 0.25);
  EXPECT_NEAR(renderer.GetWindowCenterX(), 0.0, 1e-15);
  EXPECT_NEAR(renderer.GetWindowCenterY(), 0.0, 1e-15);

  const double realGrabbed = renderer.GetVirtualX(100);
  const double imaginaryGrabbed = renderer.GetVirtualY(50);
  navigator.DragBy(37, -12);
  EXPECT_NEAR(renderer.GetVirtualX(137), realGrabbed, 1e-12);
  EXPECT_NEAR(renderer.GetVirtualY(38), imaginaryGrabbed, 1e-12);
  EXPECT_EQ(renderer.GetWindowWidth(), 4.0);
  TakeEvents();
  navigator.DragBy(0, 0);
  EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(ViewNavigatorTest, BackAndForwardRestoreEveryDrawnViewAndRedraw) {
  BeginRender();
  std::vector<ViewState> drawn{ViewState::Capture(renderer, surface)};
  const auto change = [&](auto&& makeChange) {
    makeChange();
    BeginRender();
    drawn.push_back(ViewState::Capture(renderer, surface));
  };
  change([&] { navigator.ZoomAbout(123, 77, 2); });
  change([&] {
    renderer.WindowZoom(100, 50, 210, 140);
    renderer.Redraw(false);
  });
  change([&] {
    renderer.SetMaxIterations(1024);
    renderer.Redraw(false);
  });
  change([&] {
    renderer.SetFractal(1);
    renderer.SetJuliaPoint(-0.8, 0.156);
    renderer.WindowReset();
    renderer.WindowCenterAbsolute(0, 0);
    renderer.Redraw(false);
  });
  change([&] { navigator.PanByFraction(0, 0.25); });
  // A redraw of the same view adds nothing.
  renderer.Redraw(false);
  BeginRender();
  ASSERT_EQ(navigator.History().Size(), drawn.size());

  const auto expectShown = [&](const ViewState& expected) {
    const ViewState shown = ViewState::Capture(renderer, surface);
    EXPECT_TRUE(shown.ShowsSameAs(expected));
    EXPECT_EQ(shown.windowWidth, expected.windowWidth);
    EXPECT_EQ(shown.maxIterations, expected.maxIterations);
    EXPECT_EQ(shown.fractalType, expected.fractalType);
    EXPECT_EQ(shown.juliaReal, expected.juliaReal);
    EXPECT_EQ(shown.juliaImaginary, expected.juliaImaginary);
    const std::vector<std::string> events = TakeEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "stop");
    EXPECT_EQ(events.back(), "Redraw");
  };
  for (int level = static_cast<int>(drawn.size()) - 2; level >= 0; --level) {
    SCOPED_TRACE("back to " + std::to_string(level));
    ASSERT_TRUE(navigator.Back());
    expectShown(drawn[level]);
    // The restored view begins to render; that is no new level.
    BeginRender();
  }
  EXPECT_FALSE(navigator.Back());
  EXPECT_TRUE(TakeEvents().empty());
  for (std::size_t level = 1; level < drawn.size(); ++level) {
    ASSERT_TRUE(navigator.Forward());
    expectShown(drawn[level]);
    BeginRender();
  }
  EXPECT_FALSE(navigator.Forward());
  EXPECT_EQ(navigator.History().Size(), drawn.size());
}

}  // namespace
