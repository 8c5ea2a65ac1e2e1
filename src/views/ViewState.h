#pragma once

#include <cstdint>

class FractalRenderer;
class RenderSurface;

// Everything that decides what a renderer shows: the centre and width of the
// view, the iteration cap, the fractal type and the Julia constant. The
// view's height is not kept; it follows from the surface shown on.
struct ViewState {
  double centerX = 0.0;
  double centerY = 0.0;
  double windowWidth = 4.0;
  std::int32_t maxIterations = 256;
  std::int16_t fractalType = 0;
  double juliaReal = 0.0;
  double juliaImaginary = 0.0;

  static ViewState Capture(const FractalRenderer& renderer);
  // The centre of the picture as drawn on the surface. After a box zoom the
  // renderer's own height comes from the box, not from the surface, so its
  // centre may lie a fraction of a pixel off what is shown; restoring this
  // one draws the same rows again.
  static ViewState Capture(const FractalRenderer& renderer, const RenderSurface& shownOn);
  // Cap first (it may raise ChangeIterations), then the window, the type and
  // the Julia constant, as a bookmark is loaded. The caller redraws.
  void ApplyTo(FractalRenderer& renderer) const;

  // The same picture: equal settings, and centres closer than a millionth of
  // a pixel-sized fraction of the width. Restoring a centre through the
  // renderer's own arithmetic may move it by a rounding step.
  bool ShowsSameAs(const ViewState& other) const;
  bool operator==(const ViewState& other) const = default;
};
