#include "ViewState.h"

#include <cmath>

#include "FractalRenderer.h"

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
