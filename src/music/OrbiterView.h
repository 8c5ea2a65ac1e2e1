#pragma once

#include <cstdint>

#include "OrbitNote.h"

// What the Orbiter needs from its window besides the renderer's surface. The
// orbit figures are drawn in invert mode, so drawing one twice removes it.
class OrbiterView {
 public:
  virtual ~OrbiterView() = default;

  // A 5 x 5 outline around the pixel, then the pixel, which becomes the pen.
  virtual void DrawOrbitStart(OrbitPixel at) = 0;
  // A line from the pen to the pixel, then the start figure there.
  virtual void DrawOrbitStep(OrbitPixel at) = 0;
  // The finished fractal picture is kept (after a render) and brought back
  // (New Point), taking the orbit drawing away.
  virtual void KeepOriginalPicture() = 0;
  virtual void RestoreOriginalPicture() = 0;

  // The render timer calls Orbiter::OnRenderTimerTick, the note timer
  // Orbiter::OnNoteTimerTick.
  virtual void EnableRenderTimer() = 0;
  virtual void DisableRenderTimer() = 0;
  virtual void EnableNoteTimer(std::int32_t intervalMilliseconds) = 0;
  virtual void DisableNoteTimer() = 0;
};
