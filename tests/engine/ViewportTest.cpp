#include <gtest/gtest.h>

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

  void ExpectView(double left, double top, double width, double height, double pixelSize) {
    EXPECT_EQ(renderer.GetWindowLeft(), left);
    EXPECT_EQ(renderer.GetWindowTop(), top);
    EXPECT_EQ(renderer.GetWindowWidth(), width);
    EXPECT_EQ(renderer.GetWindowHeight(), height);
    EXPECT_EQ(renderer.GetVirtualX(3), left + 3 * pixelSize);
    EXPECT_EQ(renderer.GetVirtualY(3), top + 3 * pixelSize);
  }

  MemorySurface surface{400, 300};
  RecordingListener listener;
  FractalRenderer renderer;
};

TEST_F(ViewportTest, InitializeShowsFourUnitsAroundTheOrigin) {
  ExpectView(-2, -1.5, 4, 3, 0.01);
  EXPECT_EQ(renderer.GetVirtualX(200), 0.0);
  EXPECT_EQ(renderer.GetVirtualY(150), 0.0);
  EXPECT_EQ(renderer.GetMaxIterations(), 256);
  EXPECT_EQ(listener.events, std::vector<std::string>{"ChangeIterations 256"});
  EXPECT_EQ(renderer.GetFractal(), 0);
}

TEST_F(ViewportTest, MappingAcceptsFractionalAndOutsidePixels) {
  EXPECT_EQ(renderer.GetVirtualX(-100), -3.0);
  EXPECT_EQ(renderer.GetVirtualY(450), 3.0);
  EXPECT_EQ(renderer.GetVirtualX(200.5), -2 + 200.5 * 0.01);
}

TEST_F(ViewportTest, ZoomRectangleBecomesTheView) {
  renderer.WindowZoom(100, 50, 200, 150);
  ExpectView(-1, -1, 2, 1.5, 0.005);
  // The rectangle's own height wins even when it breaks the surface's aspect.
  renderer.WindowZoom(0, 0, 200, 20);
  EXPECT_EQ(renderer.GetWindowWidth(), 1.0);
  EXPECT_EQ(renderer.GetWindowHeight(), 0.1);
  EXPECT_TRUE(listener.Milestones().size() == 1) << "WindowZoom must not redraw";
}

TEST_F(ViewportTest, ZoomInAndOutReturnExactlyAndRedrawEachTime) {
  listener.events.clear();
  renderer.WindowZoomIn();
  ExpectView(-1, -0.75, 2, 1.5, 0.005);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"ZoomChange 2", "Redraw"}));
  renderer.WindowZoomOut();
  ExpectView(-2, -1.5, 4, 3, 0.01);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"ZoomChange 2", "Redraw", "ZoomChange 1", "Redraw"}));
}

TEST_F(ViewportTest, ZoomFactorIsCutDownToTwoDecimals) {
  listener.events.clear();
  renderer.WindowSet(0, 0, 3);
  renderer.Redraw(false);
  renderer.WindowSet(0, 0, 8);
  renderer.Redraw(false);
  EXPECT_EQ(listener.Milestones(),
            (std::vector<std::string>{"ZoomChange 1.33", "Redraw", "ZoomChange 0.5", "Redraw"}));
}

TEST_F(ViewportTest, CentringOperations) {
  renderer.WindowCenterRelative(0, 0);  // the old top-left pixel becomes the centre
  EXPECT_EQ(renderer.GetWindowCenterX(), -2.0);
  EXPECT_EQ(renderer.GetWindowCenterY(), -1.5);
  renderer.WindowCenterAbsolute(0.25, -0.5);
  ExpectView(-1.75, -2.0, 4, 3, 0.01);
  renderer.WindowSet(-0.75, 0.1, 0.5);
  EXPECT_EQ(renderer.GetWindowCenterX(), -0.75);
  EXPECT_EQ(renderer.GetWindowHeight(), 300 * 0.5 / 400);
  EXPECT_EQ(renderer.GetWindowTop(), 0.1 - 300 * 0.5 / 400 / 2);
}

TEST_F(ViewportTest, ResetKeepsTheCornerAndRescaleKeepsTheCentre) {
  renderer.WindowSet(1, 1, 1);
  const double left = renderer.GetWindowLeft();
  const double top = renderer.GetWindowTop();
  renderer.WindowReset();
  EXPECT_EQ(renderer.GetWindowWidth(), 4.0);
  EXPECT_EQ(renderer.GetWindowLeft(), left);
  EXPECT_EQ(renderer.GetWindowTop(), top);

  renderer.WindowSet(0.5, -0.25, 2);
  surface.Resize(200, 400);  // a resized window: width and centre stay
  renderer.WindowRescale();
  EXPECT_EQ(renderer.GetWindowWidth(), 2.0);
  EXPECT_EQ(renderer.GetWindowHeight(), 4.0);
  EXPECT_EQ(renderer.GetWindowCenterX(), 0.5);
  EXPECT_EQ(renderer.GetWindowCenterY(), -0.25);
  EXPECT_EQ(renderer.GetVirtualX(3), renderer.GetWindowLeft() + 3 * 0.01);
}

TEST_F(ViewportTest, EmptySurfaceKeepsTheLastUsableScale) {
  // A minimised window reports no size; the view must survive it.
  surface.Resize(0, 0);
  renderer.WindowRescale();
  renderer.WindowZoomIn();
  ExpectView(-1, -0.75, 2, 1.5, 0.005);
  surface.Resize(400, 300);
  renderer.WindowRescale();
  ExpectView(-1, -0.75, 2, 1.5, 0.005);
}

TEST_F(ViewportTest, SetMaxIterationsRaisesOnlyOnChangeAndBeforeStoring) {
  struct CapWatcher : RendererListener {
    FractalRenderer* renderer = nullptr;
    std::vector<std::pair<int, int>> seen;  // (new cap, cap visible during the event)
    void OnChangeIterations(std::int32_t newMaxIterations) override {
      seen.emplace_back(newMaxIterations, renderer->GetMaxIterations());
    }
  } watcher;
  watcher.renderer = &renderer;
  renderer.SetListener(&watcher);
  renderer.SetMaxIterations(256);
  renderer.SetMaxIterations(512);
  renderer.SetMaxIterations(512);
  EXPECT_EQ(watcher.seen, (std::vector<std::pair<int, int>>{{512, 256}}));
  EXPECT_EQ(renderer.GetMaxIterations(), 512);
}

TEST_F(ViewportTest, JuliaPointIsStoredWithoutRedrawing) {
  listener.events.clear();
  renderer.SetJuliaPoint(-0.8, 0.156);
  EXPECT_EQ(renderer.GetJuliaPointReal(), -0.8);
  EXPECT_EQ(renderer.GetJuliaPointImaginary(), 0.156);
  EXPECT_TRUE(listener.events.empty());
}

}  // namespace
