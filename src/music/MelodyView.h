#pragma once

#include <cstdint>

#include "MountainCurve.h"

// What a Melodizer run needs from its window: the melody picture, the tracer,
// the run's timer and the event loop. Colours are packed red + 256 * green +
// 65536 * blue; coordinates are pixels of the melody picture's inside.
class MelodyView {
 public:
  virtual ~MelodyView() = default;

  virtual void ClearMelody() = 0;
  virtual void DrawMelodyLine(PicturePoint from, PicturePoint to, std::int32_t colour) = 0;
  virtual void SetMelodyPixel(PicturePoint at, std::int32_t colour) = 0;
  // The vertical cursor keeps its extent and moves to column x.
  virtual void MoveTracerTo(double x) = 0;

  // The run's timer: each tick calls Melodizer::OnTimerTick.
  virtual void EnableTimer(std::int32_t intervalMilliseconds) = 0;
  virtual void DisableTimer() = 0;
  // Takes effect at once, also while the timer runs.
  virtual void SetTimerInterval(std::int32_t intervalMilliseconds) = 0;

  // Keeps handling window events until the time is up.
  virtual void Wait(double seconds) = 0;
  virtual void ProcessPendingEvents() = 0;
};
