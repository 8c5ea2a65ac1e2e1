#pragma once

#include <cstdint>
#include <iosfwd>

#include "RendererListener.h"

// Shows a render's pass and percentage on one terminal line; silent when the
// stream is not a terminal, so scripts get clean output.
class RenderProgress final : public RendererListener {
 public:
  RenderProgress(std::ostream& stream, bool enabled) : stream_(stream), enabled_(enabled) {}

  void OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) override;
  void OnProgress(double percentComplete) override;
  bool Enabled() const { return enabled_; }
  // Ends the progress line.
  void Finish();

 private:
  std::ostream& stream_;
  bool enabled_;
  int passNumber_ = 1;
  int totalPasses_ = 1;
  int lastPercent_ = -1;
};
