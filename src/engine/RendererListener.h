#pragma once

#include <cstdint>

// The renderer's events, raised synchronously. A host overrides the ones it
// needs; the rest do nothing.
class RendererListener {
 public:
  virtual ~RendererListener() = default;

  virtual void OnAbort() {}
  virtual void OnAfterRender() {}
  virtual void OnAfterBounding() {}
  virtual void OnBeforeRender() {}
  virtual void OnChangeIterations(std::int32_t /*newMaxIterations*/) {}
  virtual void OnProgress(double /*percentComplete*/) {}
  virtual void OnProgressBounding(double /*percentComplete*/) {}
  virtual void OnProgressPass(std::int16_t /*passNumber*/, std::int16_t /*totalPasses*/) {}
  virtual void OnRedraw() {}
  virtual void OnZoomChange(double /*zoomFactor*/) {}
};
