#pragma once

#include <functional>

#include "ViewHistory.h"
#include "ViewState.h"

class FractalRenderer;
class RenderSurface;

// The wheel, the keys and the hand: moves of the view that a box zoom cannot
// make, done with the renderer's own viewport operations. Each move stops
// the running render through the host (as a press in the viewport does),
// changes the view and redraws, so the host sees the same events as after a
// box zoom. The history records what was drawn; the host reports each render
// that begins.
class ViewNavigator {
 public:
  ViewNavigator(FractalRenderer& renderer, const RenderSurface& surface, std::function<void()> stopRendering);

  // Halves (notches > 0) or doubles (notches < 0) the width once per notch,
  // keeping the point under pixel (x, y) under that pixel.
  void ZoomAbout(double x, double y, int notches);
  // Moves the view by fractions of its width and height: positive shows
  // what lay to the right and below.
  void PanByFraction(double across, double down);
  // Moves the view with a picture dragged by (dx, dy) pixels.
  void DragBy(double dx, double dy);

  // Restores the previous or next view of the history and redraws; false
  // (and nothing happens) at either end.
  bool Back();
  bool Forward();
  void Restore(const ViewState& view);

  // Called when a render begins: that view has now been drawn.
  void RecordCurrent();
  const ViewHistory& History() const { return history_; }

 private:
  double PixelSize() const;

  FractalRenderer& renderer_;
  const RenderSurface& surface_;
  std::function<void()> stopRendering_;
  ViewHistory history_;
};
