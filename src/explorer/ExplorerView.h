#pragma once

#include <optional>
#include <string>

#include "FractalType.h"
#include "Tool.h"
#include "ZoomBox.h"

// A straight line in viewport pixels, as the mouse reports them.
struct PixelLine {
  float x1 = 0;
  float y1 = 0;
  float x2 = 0;
  float y2 = 0;
};

// What the main window hands to the Melodizer after a trace: the line's ends
// in the plane, the iteration limit typed in the box, and the view's set.
struct MelodizerHandoff {
  double realPart1 = 0;
  double imaginaryPart1 = 0;
  double realPart2 = 0;
  double imaginaryPart2 = 0;
  std::int32_t maxIterations = 0;
  FractalType fractalType = FractalType::Mandelbrot;
  double juliaReal = 0;
  double juliaImaginary = 0;
};

// What the main window's model needs from its window: what is drawn and
// shown, the render timer, the focus, the picture file and the other windows.
// Positions are pixels of the viewport's inside.
class ExplorerView {
 public:
  virtual ~ExplorerView() = default;

  // The viewport's inside, read afresh at every use.
  virtual float ViewportWidth() const = 0;
  virtual float ViewportHeight() const = 0;

  virtual void ShowStatus(const std::string& text) = 0;
  // The bar's width as a fraction of the status line's (may pass 1).
  virtual void ShowProgress(double fraction) = 0;
  virtual void MoveProgressLine(double row) = 0;
  virtual void ShowIterations(const std::string& text) = 0;
  virtual void ShowMagnification(const std::string& text) = 0;
  virtual void ShowCoordinates(const std::string& text) = 0;
  // The readout sits at the bottom of the viewport or at its top.
  virtual void PlaceCoordinates(bool atBottom) = 0;

  virtual void ShowToolCaption(Tool tool, const std::string& caption) = 0;
  virtual void ShowToolLook(Tool tool, ToolLook look) = 0;
  virtual void ShowToolHighlight(Tool tool, bool highlighted) = 0;

  virtual void ShowZoomBox(const ZoomBox& box) = 0;
  virtual void HideZoomBox() = 0;
  virtual void ShowTracer(const PixelLine& line) = 0;
  virtual void HideTracer() = 0;

  // The render pump: each tick calls Explorer::OnRenderTimerTick.
  virtual void StartRenderTimer() = 0;
  virtual void StopRenderTimer() = 0;
  virtual void FocusViewport() = 0;
  // A render of a view begins (before its first row): the place to note the
  // view, e.g. in a history.
  virtual void RenderBegins() {}

  // Writes the viewport's picture in the format its name ends with (a
  // bitmap unless it ends with ".png"); the platform's
  // description of the failure, if it failed.
  virtual std::optional<std::string> WritePicture(const std::string& fileName) = 0;

  // The other windows, shown modally: these return when they are closed.
  virtual void ShowOrbiter() = 0;
  virtual void ShowBookmarks() = 0;
  virtual void ShowMelodizer(const MelodizerHandoff& handoff) = 0;
};
