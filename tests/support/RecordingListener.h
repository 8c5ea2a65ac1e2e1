#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "RendererListener.h"

// Writes every renderer event as one short line, so a test can compare the
// whole sequence at once; the fractions of progress are kept apart too.
class RecordingListener : public RendererListener {
 public:
  void OnAbort() override { events.push_back("Abort"); }
  void OnAfterRender() override { events.push_back("AfterRender"); }
  void OnAfterBounding() override { events.push_back("AfterBounding"); }
  void OnBeforeRender() override { events.push_back("BeforeRender"); }
  void OnChangeIterations(std::int32_t cap) override { events.push_back("ChangeIterations " + std::to_string(cap)); }
  void OnProgress(double fraction) override { progress.push_back(fraction); events.push_back("Progress"); }
  void OnProgressBounding(double fraction) override {
    boundingProgress.push_back(fraction);
    events.push_back("ProgressBounding");
  }
  void OnProgressPass(std::int16_t pass, std::int16_t passes) override {
    events.push_back("ProgressPass " + std::to_string(pass) + "/" + std::to_string(passes));
  }
  void OnRedraw() override { events.push_back("Redraw"); }
  void OnZoomChange(double zoomFactor) override {
    events.push_back((std::ostringstream() << "ZoomChange " << zoomFactor).str());
  }

  std::vector<double> progress, boundingProgress;
  std::vector<std::string> events;
};
