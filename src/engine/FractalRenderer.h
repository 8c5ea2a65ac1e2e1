#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ComplexNumber.h"
#include "EscapeCount.h"
#include "FractalType.h"
#include "PassSchedule.h"
#include "RenderSurface.h"
#include "RendererListener.h"
#include "RowCounter.h"
#include "RowsAhead.h"

// The fractal engine: a viewport onto the complex plane, the escape counts of
// its points, and a progressive coarse-to-fine drawing of it onto a surface,
// one row of blocks per RendererCallback. Hosts drive it from a timer.
class FractalRenderer {
 public:
  FractalRenderer();

  // Events go to the listener; null means nobody listens.
  void SetListener(RendererListener* listener) { listener_ = listener; }
  // Where block rows get their escape counts; null means the fast path,
  // which counts the rows of a pass ahead on every core.
  void SetRowCounter(RowCounter* rowCounter);

  void Redraw(bool draftQuality);
  bool StepIterate(bool newPoint, double realPart = 0.0, double imaginaryPart = 0.0);
  double GetCurrentRealPart() const { return orbitZ_.real; }
  double GetCurrentImaginaryPart() const { return orbitZ_.imaginary; }
  double GetJuliaPointReal() const { return parameters_.juliaPoint.real; }
  double GetJuliaPointImaginary() const { return parameters_.juliaPoint.imaginary; }
  double GetWindowCenterX() const { return windowLeft_ + windowWidth_ / 2; }
  double GetWindowCenterY() const { return windowTop_ + windowHeight_ / 2; }
  void WindowCenterRelative(std::int16_t centerX, std::int16_t centerY);
  void WindowCenterAbsolute(double centerX, double centerY);
  void WindowReset();
  void WindowRescale();
  void WindowSet(double centerX, double centerY, double newWindowWidth);
  void WindowZoom(std::int16_t left, std::int16_t top, std::int16_t width, std::int16_t height);
  void WindowZoomIn();
  void WindowZoomOut();
  std::int32_t IteratePoint(double newReal, double newImaginary) const;
  std::int32_t GetMaxIterations() const { return parameters_.maxIterations; }
  void SetMaxIterations(std::int32_t iterations);
  void SetFractal(std::int16_t fractalType);
  double GetVirtualX(double x) const { return windowLeft_ + x * pixelSize_; }
  double GetVirtualY(double y) const { return windowTop_ + y * pixelSize_; }
  void SetJuliaPoint(double realPoint, double imaginaryPoint);
  std::int16_t GetFractal() const { return parameters_.isJulia ? 1 : 0; }
  // The same, typed, for code that does not store or pass on the number.
  void SetFractal(FractalType type) { SetFractal(static_cast<std::int16_t>(type)); }
  FractalType GetFractalType() const { return parameters_.isJulia ? FractalType::Julia : FractalType::Mandelbrot; }
  void Abort();
  void Initialize(RenderSurface& context);
  bool RendererCallback();
  // For hosts that only want the finished picture, right after Redraw: when
  // the render's last pass paints every pixel of the surface one by one (so
  // nothing the passes before it drew survives) and the fast path counts,
  // draws only that pass, at once on every core, raises BeforeRender and
  // AfterRender and returns true; the surface ends as RendererCallback would
  // leave it. Otherwise does nothing and returns false.
  bool DrawFinalPassAtOnce();
  std::int32_t WindowFindMinIterations();
  double GetWindowWidth() const { return windowWidth_; }
  double GetWindowHeight() const { return windowHeight_; }
  double GetWindowLeft() const { return windowLeft_; }
  double GetWindowTop() const { return windowTop_; }

  // Rows of the current pass counted in the background and not yet drawn.
  std::size_t RowsCountedAhead() const { return rowsAhead_.RowsReady(); }

  // The packed colour a count is painted in under the current cap.
  std::int32_t CountColour(std::int32_t count) const;

 private:
  float ScaleWidth() const { return surface_->ScaleWidth(); }
  float ScaleHeight() const { return surface_->ScaleHeight(); }
  bool SurfaceIsEmpty() const;
  // Height and pixel size follow the width and the surface's aspect; an empty
  // surface (a minimised window) uses the last size the surface had.
  void FitHeightToSurface();
  void RememberSurfaceSize();
  void StartRender();
  void RenderRow(int row, int size);
  BlockRowSettings RowSettings(int size) const;
  bool LastPassCoversSurface(PassPosition& end) const;
  void CountRow(const BlockRowSettings& settings, int row);

  RendererListener* listener_ = nullptr;
  RowCounter* rowCounter_ = nullptr;
  // A copied renderer gets threads of its own and nothing counted ahead.
  RowsAhead rowsAhead_;
  RenderSurface* surface_ = nullptr;

  EscapeParameters parameters_;
  ComplexNumber orbitZ_{};
  ComplexNumber orbitC_{};
  double windowLeft_ = 0.0;
  double windowTop_ = 0.0;
  double windowWidth_ = 0.0;
  double windowHeight_ = 0.0;
  double pixelSize_ = 0.0;
  float fittedWidth_ = 0.0f;
  float fittedHeight_ = 0.0f;

  bool isRendering_ = false;
  bool isDraft_ = false;
  PassPosition position_;

  // Per-row scratch, kept to avoid an allocation per row.
  std::vector<double> blockReals_;
  std::vector<std::int32_t> blockCounts_;
  std::vector<std::int32_t> blockColours_;
  std::array<std::int32_t, 64> hueColours_{};
};
