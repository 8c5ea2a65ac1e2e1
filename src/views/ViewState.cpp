#include "ViewState.h"

#include <cmath>

#include "FractalRenderer.h"
#include "RenderSurface.h"

ViewState ViewState::Capture(const FractalRenderer& renderer) {
  ViewState view;
  view.centerX = renderer.GetWindowCenterX();
  view.centerY = renderer.GetWindowCenterY();
  view.windowWidth = renderer.GetWindowWidth();
  view.maxIterations = renderer.GetMaxIterations();
  view.fractalType = renderer.GetFractal();
  view.juliaReal = renderer.GetJuliaPointReal();
  view.juliaImaginary = renderer.GetJuliaPointImaginary();
  return view;
}

ViewState ViewState::Capture(const FractalRenderer& renderer, const RenderSurface& shownOn) {
  ViewState view = Capture(renderer);
  const double width = shownOn.ScaleWidth();
  const double height = shownOn.ScaleHeight();
  if (width > 0 && height > 0)
    view.centerY = renderer.GetWindowTop() + height * renderer.GetWindowWidth() / width / 2;
  return view;
}

void ViewState::ApplyTo(FractalRenderer& renderer) const {
  renderer.SetMaxIterations(maxIterations);
  renderer.WindowSet(centerX, centerY, windowWidth);
  renderer.SetFractal(fractalType);
  renderer.SetJuliaPoint(juliaReal, juliaImaginary);
}

bool ViewState::ShowsSameAs(const ViewState& other) const {
  const double tolerance = std::abs(windowWidth) * 1e-12;
  return windowWidth == other.windowWidth && maxIterations == other.maxIterations &&
         fractalType == other.fractalType && juliaReal == other.juliaReal &&
         juliaImaginary == other.juliaImaginary && std::abs(centerX - other.centerX) <= tolerance &&
         std::abs(centerY - other.centerY) <= tolerance;
}
