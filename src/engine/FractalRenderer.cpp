#include "FractalRenderer.h"

#include <algorithm>
#include <cmath>

#include "HLS.h"
#include "Nearest.h"

namespace {

constexpr std::int32_t kInitialMaxIterations = 256;
constexpr double kInitialWindowWidth = 4.0;
constexpr std::int16_t kDraftBlockSize = 2;


}  // namespace

FractalRenderer::FractalRenderer() {
  for (std::int32_t count = 0; count < static_cast<std::int32_t>(hueColours_.size()); ++count)
    hueColours_[count] = HLSToRGB((4 * count) % 256, 127, 255);
}

void FractalRenderer::SetRowCounter(RowCounter* rowCounter) { rowCounter_ = rowCounter; }

std::int32_t FractalRenderer::CountColour(std::int32_t count) const {
  if (count == parameters_.maxIterations) return 0;
  // The hue, 4 * count mod 256, repeats every 64 counts; counts are never negative.
  return hueColours_[count % 64];
}

bool FractalRenderer::SurfaceIsEmpty() const {
  return surface_ == nullptr || Nearest(ScaleWidth()) <= 0 || ScaleHeight() <= 0.0f;
}

// ---------------------------------------------------------------- settings

void FractalRenderer::SetMaxIterations(std::int32_t iterations) {
  if (iterations == parameters_.maxIterations) return;
  // Handlers still see the old cap while the event runs.
  if (listener_) listener_->OnChangeIterations(iterations);
  parameters_.maxIterations = iterations;
}

void FractalRenderer::SetFractal(std::int16_t fractalType) {
  if (fractalType == 0) parameters_.isJulia = false;
  if (fractalType == 1) parameters_.isJulia = true;
}

void FractalRenderer::SetJuliaPoint(double realPoint, double imaginaryPoint) {
  parameters_.juliaPoint = {realPoint, imaginaryPoint};
}

void FractalRenderer::Initialize(RenderSurface& context) {
  SetMaxIterations(kInitialMaxIterations);
  surface_ = &context;
  WindowReset();
  WindowCenterAbsolute(0.0, 0.0);
}

// ---------------------------------------------------------------- viewport

void FractalRenderer::RememberSurfaceSize() {
  if (SurfaceIsEmpty()) return;
  fittedWidth_ = ScaleWidth();
  fittedHeight_ = ScaleHeight();
}

void FractalRenderer::FitHeightToSurface() {
  RememberSurfaceSize();
  // An empty surface keeps the last usable shape, so the view and its centre
  // survive a minimised window.
  if (fittedWidth_ <= 0.0f) return;
  const double width = fittedWidth_;
  const double height = fittedHeight_;
  windowHeight_ = height * windowWidth_ / width;
  pixelSize_ = windowWidth_ / width;
}

void FractalRenderer::WindowReset() {
  windowWidth_ = kInitialWindowWidth;
  FitHeightToSurface();
}

void FractalRenderer::WindowRescale() {
  const double centerX = GetWindowCenterX();
  const double centerY = GetWindowCenterY();
  FitHeightToSurface();
  WindowCenterAbsolute(centerX, centerY);
}

void FractalRenderer::WindowSet(double centerX, double centerY, double newWindowWidth) {
  windowWidth_ = newWindowWidth;
  FitHeightToSurface();
  windowLeft_ = centerX - windowWidth_ / 2;
  windowTop_ = centerY - windowHeight_ / 2;
}

void FractalRenderer::WindowCenterAbsolute(double centerX, double centerY) {
  windowLeft_ = centerX - windowWidth_ / 2;
  windowTop_ = centerY - windowHeight_ / 2;
}

void FractalRenderer::WindowCenterRelative(std::int16_t centerX, std::int16_t centerY) {
  windowLeft_ = windowLeft_ + centerX * pixelSize_ - windowWidth_ / 2;
  windowTop_ = windowTop_ + centerY * pixelSize_ - windowHeight_ / 2;
}

void FractalRenderer::WindowZoom(std::int16_t left, std::int16_t top, std::int16_t width, std::int16_t height) {
  // The rectangle's own height wins over the surface's aspect.
  windowWidth_ = width * pixelSize_;
  windowHeight_ = height * pixelSize_;
  windowTop_ = windowTop_ + top * pixelSize_;
  windowLeft_ = windowLeft_ + left * pixelSize_;
  RememberSurfaceSize();
  if (fittedWidth_ > 0.0f) pixelSize_ = windowWidth_ / fittedWidth_;
}

void FractalRenderer::WindowZoomIn() {
  windowWidth_ = windowWidth_ / 2;
  FitHeightToSurface();
  windowLeft_ = windowLeft_ + windowWidth_ / 2;
  windowTop_ = windowTop_ + windowHeight_ / 2;
  Redraw(false);
}

void FractalRenderer::WindowZoomOut() {
  windowWidth_ = windowWidth_ * 2;
  FitHeightToSurface();
  windowLeft_ = windowLeft_ - windowWidth_ / 4;
  windowTop_ = windowTop_ - windowHeight_ / 4;
  Redraw(false);
}

// ---------------------------------------------------------------- iteration

std::int32_t FractalRenderer::IteratePoint(double newReal, double newImaginary) const {
  return EscapeCount(parameters_, {newReal, newImaginary});
}

bool FractalRenderer::StepIterate(bool newPoint, double realPart, double imaginaryPart) {
  if (newPoint) {
    orbitZ_ = {};
    orbitC_ = {realPart, imaginaryPart};
  } else if (ComplexMagnitudeSquared(orbitZ_) > 4.0) {
    return false;
  }
  orbitZ_ = FractalStep(orbitZ_, orbitC_);
  return true;
}

std::int32_t FractalRenderer::WindowFindMinIterations() {
  std::int32_t best = parameters_.maxIterations;
  const int width = Nearest(ScaleWidth());
  const int height = Nearest(ScaleHeight());
  const std::int32_t total = Nearest(ScaleHeight() + ScaleWidth());
  std::int32_t done = 0;
  auto consider = [&](double x, double y) { best = std::min(best, IteratePoint(GetVirtualX(x), GetVirtualY(y))); };
  auto report = [&] {
    ++done;
    // An empty surface has nothing to scan a fraction of; call it complete.
    if (listener_) listener_->OnProgressBounding(total > 0 ? static_cast<double>(done) / total : 1.0);
  };
  for (int x = 0; x <= width; ++x) {
    consider(x, 0.0);
    consider(x, ScaleHeight());
    report();
  }
  for (int y = 0; y <= height; ++y) {
    consider(0.0, y);
    consider(ScaleWidth(), y);
    report();
  }
  if (listener_) listener_->OnAfterBounding();
  return best;
}

// ---------------------------------------------------------------- rendering

void FractalRenderer::Redraw(bool draftQuality) {
  if (listener_) listener_->OnZoomChange(std::floor(400 / windowWidth_) / 100);
  if (surface_) surface_->Clear();
  isRendering_ = false;
  isDraft_ = draftQuality;
  if (listener_) listener_->OnRedraw();
}

void FractalRenderer::Abort() {
  isRendering_ = false;
  if (listener_) listener_->OnAbort();
}

void FractalRenderer::StartRender() {
  if (listener_) listener_->OnBeforeRender();
  isRendering_ = true;
  currentRow_ = 0;
  if (isDraft_) {
    blockSize_ = kDraftBlockSize;
    currentPass_ = 1;
    passCount_ = 1;
    return;
  }
  currentPass_ = 2;
  blockSize_ = static_cast<std::int16_t>(Nearest(ScaleWidth()));
  // One pass per power of four in the width: the fourth root, cut down.
  passCount_ = static_cast<std::int16_t>(std::floor(std::pow(static_cast<double>(blockSize_), 0.25)));
  if (listener_) listener_->OnProgressPass(currentPass_, passCount_);
  blockSize_ = static_cast<std::int16_t>(Nearest(blockSize_ / 4.0));
}

void FractalRenderer::FinishPass() {
  ++currentPass_;
  currentRow_ = 0;
  blockSize_ = static_cast<std::int16_t>(Nearest(blockSize_ / 4.0));
  if (currentPass_ == passCount_) blockSize_ = 1;
  // A pass that reaches single pixels is the last one, whatever its number.
  if (blockSize_ == 1) currentPass_ = passCount_;
  if (currentPass_ <= passCount_ && listener_) listener_->OnProgressPass(currentPass_, passCount_);
}

bool FractalRenderer::RendererCallback() {
  if (surface_ == nullptr) return false;
  // Finished: nothing more is drawn until the next Redraw or Abort.
  if (isRendering_ && currentPass_ > passCount_) return false;
  if (SurfaceIsEmpty()) {
    // Nothing to draw on (a minimised window); end the render instead of
    // looping over blocks of no size.
    if (!isRendering_ && listener_) listener_->OnBeforeRender();
    isRendering_ = true;
    currentPass_ = 1;
    passCount_ = 0;
    if (listener_) listener_->OnAfterRender();
    return false;
  }
  if (!isRendering_) StartRender();

  if (listener_) listener_->OnProgress(static_cast<double>(currentRow_ + blockSize_) / ScaleHeight());
  RenderRow(currentRow_, blockSize_);
  currentRow_ = static_cast<std::int16_t>(currentRow_ + blockSize_);
  if (currentRow_ >= ScaleHeight()) FinishPass();

  if (currentPass_ > passCount_) {
    if (listener_) listener_->OnAfterRender();
    return false;
  }
  return true;
}

void FractalRenderer::RenderRow(int row, int size) {
  const int width = Nearest(ScaleWidth());
  // Blocks span size + 1 pixels, overlapping their right and lower neighbours
  // by one, so the last block of a row may reach past the edge. Size 1 is
  // the per-pixel pass; a size of 0 (the coarse pass of a one- or
  // two-pixel-wide surface) draws single pixels too instead of never moving on.
  const int step = std::max(size, 1);
  const int extent = size > 1 ? size : 0;
  const int bottom = row + extent;
  blockLefts_.clear();
  blockReals_.clear();
  for (int x = 0; x <= width; x += step) {
    const int centreX = Nearest((x + (x + extent)) / 2.0);
    blockLefts_.push_back(x);
    blockReals_.push_back(windowLeft_ + centreX * pixelSize_);
  }
  const int centreY = Nearest((row + bottom) / 2.0);
  const double imaginary = windowTop_ + centreY * pixelSize_;

  blockCounts_.resize(blockReals_.size());
  RowCounter& counter = rowCounter_ ? *rowCounter_ : *fastCounter_;
  counter.CountRow(parameters_, blockReals_, imaginary, blockCounts_);

  for (std::size_t i = 0; i < blockLefts_.size(); ++i)
    surface_->FillRectangle(blockLefts_[i], row, blockLefts_[i] + extent, bottom, CountColour(blockCounts_[i]));
}
