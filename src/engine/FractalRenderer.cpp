#include "FractalRenderer.h"

#include <algorithm>
#include <cmath>

#include "HLS.h"
#include "Nearest.h"
#include "PerPixelPass.h"
#include "WorkerPool.h"

namespace {

constexpr std::int32_t kInitialMaxIterations = 256;
constexpr double kInitialWindowWidth = 4.0;


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
  rowsAhead_.Discard();
  if (listener_) listener_->OnRedraw();
}

void FractalRenderer::Abort() {
  isRendering_ = false;
  rowsAhead_.Discard();
  if (listener_) listener_->OnAbort();
}

void FractalRenderer::StartRender() {
  if (listener_) listener_->OnBeforeRender();
  isRendering_ = true;
  position_ = FirstPass(Nearest(ScaleWidth()), isDraft_);
  if (!isDraft_ && listener_) listener_->OnProgressPass(position_.currentPass, position_.passCount);
}

bool FractalRenderer::RendererCallback() {
  if (surface_ == nullptr) return false;
  // Finished: nothing more is drawn until the next Redraw or Abort.
  if (isRendering_ && position_.IsFinished()) return false;
  if (SurfaceIsEmpty()) {
    // Nothing to draw on (a minimised window); end the render instead of
    // looping over blocks of no size.
    if (!isRendering_ && listener_) listener_->OnBeforeRender();
    isRendering_ = true;
    position_ = {0, 0, 1, 0};
    rowsAhead_.Discard();
    if (listener_) listener_->OnAfterRender();
    return false;
  }
  if (!isRendering_) StartRender();

  if (listener_) listener_->OnProgress(ProgressBeforeRow(position_, ScaleHeight()));
  RenderRow(position_.currentRow, position_.blockSize);
  if (AdvanceRow(position_, ScaleHeight()) && position_.IsAnnounced() && listener_)
    listener_->OnProgressPass(position_.currentPass, position_.passCount);

  if (position_.IsFinished()) {
    if (listener_) listener_->OnAfterRender();
    return false;
  }
  return true;
}

void FractalRenderer::CountRow(const BlockRowSettings& settings, int row) {
  if (rowCounter_ == nullptr) {
    rowsAhead_.CountRow(settings, row, blockCounts_);
    return;
  }
  const double imaginary = BlockRowPoints(settings, row, blockReals_);
  blockCounts_.resize(blockReals_.size());
  rowCounter_->CountRow(settings.parameters, blockReals_, imaginary, blockCounts_);
}

BlockRowSettings FractalRenderer::RowSettings(int size) const {
  BlockRowSettings settings;
  settings.parameters = parameters_;
  settings.windowLeft = windowLeft_;
  settings.windowTop = windowTop_;
  settings.pixelSize = pixelSize_;
  settings.width = Nearest(ScaleWidth());
  settings.blockSize = size;
  settings.height = ScaleHeight();
  return settings;
}

void FractalRenderer::RenderRow(int row, int size) {
  // The settings are read afresh for every row, so a change of view, cap,
  // fractal or surface takes effect from the next row drawn.
  const BlockRowSettings settings = RowSettings(size);
  CountRow(settings, row);

  // Blocks span size + 1 pixels, overlapping their right and lower neighbours
  // by one, so the last block of a row may reach past the edge. Size 1 is
  // the per-pixel pass; a size of 0 (the coarse pass of a one- or
  // two-pixel-wide surface) draws single pixels too instead of never moving on.
  blockColours_.resize(blockCounts_.size());
  for (std::size_t i = 0; i < blockCounts_.size(); ++i) blockColours_[i] = CountColour(blockCounts_[i]);
  surface_->FillBlockRow(row, row + settings.Extent(), settings.Step(), settings.Extent(), blockColours_);
}

// Walks the schedule RendererCallback would follow and checks that its last
// pass draws single pixels on every row and column of the surface. `end` is
// where the schedule finishes.
bool FractalRenderer::LastPassCoversSurface(PassPosition& end) const {
  const float width = ScaleWidth();
  const float height = ScaleHeight();
  // Partly covered pixels at a fractional edge are not worth reasoning about.
  if (width != std::floor(width) || height != std::floor(height)) return false;
  PassPosition position = FirstPass(Nearest(width), isDraft_);
  int lastBlockSize = 0;
  int rowsFromTop = 0;
  // Every pass ends, but a broken schedule must not hang the host.
  for (long rowsDrawn = 0; rowsDrawn < 16L * (INT16_MAX + 1); ++rowsDrawn) {
    if (position.currentRow == 0) {
      lastBlockSize = position.blockSize;
      rowsFromTop = 0;
    }
    if (position.blockSize <= 1 && position.currentRow == rowsFromTop) ++rowsFromTop;
    AdvanceRow(position, height);
    if (position.IsFinished()) {
      end = position;
      return lastBlockSize <= 1 && rowsFromTop >= height && Nearest(width) + 1 >= width;
    }
  }
  return false;
}

bool FractalRenderer::DrawFinalPassAtOnce() {
  PassPosition end;
  if (surface_ == nullptr || isRendering_ || rowCounter_ != nullptr || SurfaceIsEmpty() ||
      !LastPassCoversSurface(end))
    return false;
  if (listener_) listener_->OnBeforeRender();
  isRendering_ = true;
  WorkerPool pool(rowsAhead_.HelperCount() - 1);
  PaintPerPixelPass(
      RowSettings(1), static_cast<int>(ScaleHeight()), pool,
      [this](std::span<std::int32_t> counts) {
        for (std::int32_t& count : counts) count = CountColour(count);
      },
      [this](int row, std::span<const std::int32_t> colours) { surface_->FillBlockRow(row, row, 1, 0, colours); },
      surface_->FillsRowsFromAnyThread());
  position_ = end;
  if (listener_) listener_->OnAfterRender();
  return true;
}
