#include "ViewNavigator.h"

#include <algorithm>
#include <cmath>

#include "FractalRenderer.h"
#include "RenderSurface.h"

namespace {

// A flung wheel may report many notches at once; more than this would leave
// the plane or the precision of a double in one step.
constexpr int kMostNotches = 8;

}  // namespace

ViewNavigator::ViewNavigator(FractalRenderer& renderer, const RenderSurface& surface,
                             std::function<void()> stopRendering)
    : renderer_(renderer), surface_(surface), stopRendering_(std::move(stopRendering)) {}

double ViewNavigator::PixelSize() const { return renderer_.GetWindowWidth() / surface_.ScaleWidth(); }

void ViewNavigator::ZoomAbout(double x, double y, int notches) {
  notches = std::clamp(notches, -kMostNotches, kMostNotches);
  const double width = surface_.ScaleWidth();
  const double height = surface_.ScaleHeight();
  const double newWidth = std::ldexp(renderer_.GetWindowWidth(), -notches);
  if (notches == 0 || width <= 0 || height <= 0 || !std::isfinite(newWidth) || newWidth <= 0) return;
  const double pointX = renderer_.GetVirtualX(x);
  const double pointY = renderer_.GetVirtualY(y);
  const double newPixelSize = newWidth / width;
  stopRendering_();
  renderer_.WindowSet(pointX + (width / 2 - x) * newPixelSize, pointY + (height / 2 - y) * newPixelSize, newWidth);
  renderer_.Redraw(false);
}

void ViewNavigator::PanByFraction(double across, double down) {
  stopRendering_();
  renderer_.WindowCenterAbsolute(renderer_.GetWindowCenterX() + across * renderer_.GetWindowWidth(),
                                 renderer_.GetWindowCenterY() + down * renderer_.GetWindowHeight());
  renderer_.Redraw(false);
}

void ViewNavigator::DragBy(double dx, double dy) {
  if (dx == 0 && dy == 0) return;
  const double pixelSize = PixelSize();
  stopRendering_();
  renderer_.WindowCenterAbsolute(renderer_.GetWindowCenterX() - dx * pixelSize,
                                 renderer_.GetWindowCenterY() - dy * pixelSize);
  renderer_.Redraw(false);
}

bool ViewNavigator::Back() {
  const auto view = history_.Back();
  if (view) Restore(*view);
  return view.has_value();
}

bool ViewNavigator::Forward() {
  const auto view = history_.Forward();
  if (view) Restore(*view);
  return view.has_value();
}

void ViewNavigator::Restore(const ViewState& view) {
  stopRendering_();
  view.ApplyTo(renderer_);
  renderer_.Redraw(false);
}

void ViewNavigator::RecordCurrent() { history_.Record(ViewState::Capture(renderer_, surface_)); }
