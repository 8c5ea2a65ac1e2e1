#include "RenderProgress.h"

#include <algorithm>
#include <cmath>
#include <ostream>

void RenderProgress::OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) {
  passNumber_ = passNumber;
  totalPasses_ = totalPasses;
  lastPercent_ = -1;
}

void RenderProgress::OnProgress(double percentComplete) {
  if (!enabled_) return;
  const int percent = static_cast<int>(std::floor(std::min(percentComplete, 1.0) * 100));
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  stream_ << "\rRendering: pass " << passNumber_ << "/" << totalPasses_ << ", " << percent << "%   " << std::flush;
}

void RenderProgress::Finish() {
  if (enabled_ && lastPercent_ >= 0) stream_ << "\rRendering: done                      \n" << std::flush;
}
