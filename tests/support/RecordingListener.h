#pragma once

#include <string>
#include <vector>

#include "RendererListener.h"

// Writes every renderer event as one short line, so a test can compare the
// whole sequence at once.
class RecordingListener : public RendererListener {
 public:
  void OnAbort() override { events.push_back("Abort"); }
  void OnAfterRender() override { events.push_back("AfterRender"); }
  void OnAfterBounding() override { events.push_back("AfterBounding"); }
  void OnBeforeRender() override { events.push_back("BeforeRender"); }
  void OnChangeIterations(std::int32_t newMaxIterations) override;
  void OnProgress(double percentComplete) override;
  void OnProgressBounding(double percentComplete) override;
  void OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) override;
  void OnRedraw() override { events.push_back("Redraw"); }
  void OnZoomChange(double zoomFactor) override;

  // The events without the Progress lines, which are many.
  std::vector<std::string> Milestones() const;
  std::vector<double> progress;
  std::vector<double> boundingProgress;
  std::vector<std::string> events;
};
