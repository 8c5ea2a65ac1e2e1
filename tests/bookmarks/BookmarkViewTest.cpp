#include "BookmarkView.h"

#include <gtest/gtest.h>

#include "FractalRenderer.h"
#include "MemorySurface.h"

namespace {

// What the renderer looks like at the moment the iteration cap changes: a
// handler of ChangeIterations must still see the view before the bookmark.
class CapWatcher : public RendererListener {
 public:
  explicit CapWatcher(const FractalRenderer& renderer) : renderer_(renderer) {}
  void OnChangeIterations(std::int32_t newMaxIterations) override {
    newCap = newMaxIterations;
    widthSeen = renderer_.GetWindowWidth();
    fractalSeen = renderer_.GetFractal();
  }
  std::int32_t newCap = 0;
  double widthSeen = 0.0;
  std::int16_t fractalSeen = -1;

 private:
  const FractalRenderer& renderer_;
};

class BookmarkViewTest : public testing::Test {
 protected:
  BookmarkViewTest() { renderer.Initialize(surface); }

  MemorySurface surface{400, 300};
  FractalRenderer renderer;
  const Bookmark julia{"Rabbit", 0.125, -0.25, 0.5, 700, 1, -0.124, 0.744};
  const Bookmark mandelbrot{"Spiral", -0.7767, -0.1377, 0.004, 1024, 0, 0.0, 0.0};
};

TEST_F(BookmarkViewTest, CaptureTakesTheJuliaConstantOnlyFromAJuliaView) {
  renderer.SetJuliaPoint(0.3, -0.4);
  renderer.WindowSet(-0.5, 0.25, 0.75);
  renderer.SetMaxIterations(900);
  EXPECT_EQ(BookmarkView::Capture(renderer, "Plain"), (Bookmark{"Plain", -0.5, 0.25, 0.75, 900, 0, 0.0, 0.0}));
  renderer.SetFractal(1);
  EXPECT_EQ(BookmarkView::Capture(renderer, "Julia"), (Bookmark{"Julia", -0.5, 0.25, 0.75, 900, 1, 0.3, -0.4}));
}

TEST_F(BookmarkViewTest, ApplyingRaisesTheCapChangeBeforeMovingTheView) {
  CapWatcher watcher(renderer);
  renderer.SetListener(&watcher);
  BookmarkView::Apply(julia, renderer, BookmarkView::JuliaPoint::OnlyForJulia);
  EXPECT_EQ(watcher.newCap, 700);
  EXPECT_EQ(watcher.widthSeen, 4.0);
  EXPECT_EQ(watcher.fractalSeen, 0);
  EXPECT_EQ(BookmarkView::Capture(renderer, "Rabbit"), julia);
}

TEST_F(BookmarkViewTest, ThePreviewKeepsItsJuliaConstantForAMandelbrotBookmark) {
  BookmarkView::Apply(julia, renderer, BookmarkView::JuliaPoint::OnlyForJulia);
  BookmarkView::Apply(mandelbrot, renderer, BookmarkView::JuliaPoint::OnlyForJulia);
  EXPECT_EQ(renderer.GetFractal(), 0);
  EXPECT_EQ(renderer.GetJuliaPointReal(), -0.124);
  EXPECT_EQ(renderer.GetJuliaPointImaginary(), 0.744);
}

TEST_F(BookmarkViewTest, TheMainViewTakesTheEmptyConstantOfAMandelbrotBookmark) {
  BookmarkView::Apply(julia, renderer, BookmarkView::JuliaPoint::Always);
  BookmarkView::Apply(mandelbrot, renderer, BookmarkView::JuliaPoint::Always);
  EXPECT_EQ(renderer.GetFractal(), 0);
  EXPECT_EQ(renderer.GetJuliaPointReal(), 0.0);
  EXPECT_EQ(renderer.GetJuliaPointImaginary(), 0.0);
}

TEST_F(BookmarkViewTest, ASmallerSurfaceKeepsCentreAndWidthAndTakesItsOwnAspect) {
  const Bookmark wide{"Wide", -0.701, -0.001, 3.2, 256, 0, 0.0, 0.0};
  MemorySurface preview{125, 85};
  FractalRenderer previewRenderer;
  previewRenderer.Initialize(preview);
  BookmarkView::Apply(wide, previewRenderer, BookmarkView::JuliaPoint::OnlyForJulia);
  // The centre comes back through the window's corner, so it may be off by
  // a rounding step of the width rather than of the centre itself.
  EXPECT_NEAR(previewRenderer.GetWindowCenterX(), -0.701, 1e-15);
  EXPECT_NEAR(previewRenderer.GetWindowCenterY(), -0.001, 1e-15);
  EXPECT_EQ(previewRenderer.GetWindowWidth(), 3.2);
  EXPECT_DOUBLE_EQ(previewRenderer.GetWindowHeight(), 3.2 * 85 / 125);
}

}  // namespace
