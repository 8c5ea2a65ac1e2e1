#include "BookmarkView.h"

Bookmark BookmarkView::Capture(const FractalRenderer& renderer, std::string name) {
  Bookmark bookmark;
  bookmark.name = std::move(name);
  bookmark.centerX = renderer.GetWindowCenterX();
  bookmark.centerY = renderer.GetWindowCenterY();
  bookmark.windowWidth = renderer.GetWindowWidth();
  bookmark.maxIterations = renderer.GetMaxIterations();
  bookmark.fractalType = renderer.GetFractal();
  if (bookmark.fractalType == 1) {
    bookmark.x1 = renderer.GetJuliaPointReal();
    bookmark.y1 = renderer.GetJuliaPointImaginary();
  }
  return bookmark;
}

void BookmarkView::Apply(const Bookmark& bookmark, FractalRenderer& renderer, JuliaPoint juliaPoint) {
  renderer.SetMaxIterations(bookmark.maxIterations);
  renderer.WindowSet(bookmark.centerX, bookmark.centerY, bookmark.windowWidth);
  renderer.SetFractal(bookmark.fractalType);
  if (juliaPoint == JuliaPoint::Always || bookmark.fractalType == 1) renderer.SetJuliaPoint(bookmark.x1, bookmark.y1);
}
