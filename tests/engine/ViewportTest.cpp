#include <gtest/gtest.h>

#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"

namespace {

class ViewportTest : public testing::Test {
 protected:
  ViewportTest() {
    renderer.SetListener(&listener);
    renderer.Initialize(surface);
  }

  // The view's corner and size, and the point of pixel (3, 3).
  std::vector<double> View() const {
    return {renderer.GetWindowLeft(), renderer.GetWindowTop(), renderer.GetWindowWidth(), renderer.GetWindowHeight(),
            renderer.GetVirtualX(3), renderer.GetVirtualY(3)};
  }
  static std::vector<double> View(double left, double top, double width, double height, double pixelSize) {
    return {left, top, width, height, left + 3 * pixelSize, top + 3 * pixelSize};
  }

  MemorySurface surface{400, 300};
  RecordingListener listener;
  FractalRenderer renderer;
};

TEST_F(ViewportTest, ZoomOperationsFromTheStartingViewOfFourUnitsAroundTheOrigin) {
  // The cap is announced when it changes, not when it is set again.
  renderer.SetMaxIterations(256);
  renderer.SetMaxIterations(512);
  renderer.WindowZoomIn();
  EXPECT_EQ(View(), View(-1, -0.75, 2, 1.5, 0.005));
  renderer.WindowZoomOut();
  EXPECT_EQ(View(), View(-2, -1.5, 4, 3, 0.01));
  EXPECT_EQ(listener.events, (std::vector<std::string>{"ChangeIterations 256", "ChangeIterations 512",
                                                       "ZoomChange 2", "Redraw", "ZoomChange 1", "Redraw"}));

  // A dragged rectangle becomes the view, its own height winning over the
  // surface's aspect, without a redraw.
  renderer.WindowZoom(100, 50, 200, 150);
  EXPECT_EQ(View(), View(-1, -1, 2, 1.5, 0.005));
  renderer.WindowZoom(0, 0, 200, 20);
  EXPECT_EQ(renderer.GetWindowHeight(), 0.1);
  EXPECT_EQ(listener.events.size(), 6u);

  renderer.WindowSet(0, 0, 3);  // the factor is cut down to two decimals
  renderer.Redraw(false);
  EXPECT_EQ(listener.events[6], "ZoomChange 1.33");
}

// Rescaling keeps the width and the centre; a minimised window reports no
// size, and the view and its centre survive it.
TEST_F(ViewportTest, CentringResetAndRescale) {
  renderer.WindowCenterRelative(0, 0);  // the old top-left pixel becomes the centre
  EXPECT_EQ(std::pair(renderer.GetWindowCenterX(), renderer.GetWindowCenterY()), std::pair(-2.0, -1.5));
  renderer.WindowSet(1, 1, 1);
  renderer.WindowReset();  // the width only: the corner stays
  EXPECT_EQ(View(), View(0.5, 0.625, 4, 3, 0.01));
  surface.Resize(0, 0);
  renderer.WindowRescale();
  renderer.WindowZoomIn();
  surface.Resize(200, 400);
  renderer.WindowRescale();
  EXPECT_EQ(View(), View(1.5, 0.125, 2, 4, 0.01));
}

}  // namespace
