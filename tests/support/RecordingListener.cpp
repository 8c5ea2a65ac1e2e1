#include "RecordingListener.h"

#include <sstream>

void RecordingListener::OnChangeIterations(std::int32_t newMaxIterations) {
  events.push_back("ChangeIterations " + std::to_string(newMaxIterations));
}

void RecordingListener::OnProgress(double percentComplete) {
  progress.push_back(percentComplete);
  events.push_back("Progress");
}

void RecordingListener::OnProgressBounding(double percentComplete) {
  boundingProgress.push_back(percentComplete);
  events.push_back("ProgressBounding");
}

void RecordingListener::OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) {
  events.push_back("ProgressPass " + std::to_string(passNumber) + "/" + std::to_string(totalPasses));
}

void RecordingListener::OnZoomChange(double zoomFactor) {
  std::ostringstream text;
  text << "ZoomChange " << zoomFactor;
  events.push_back(text.str());
}

std::vector<std::string> RecordingListener::Milestones() const {
  std::vector<std::string> milestones;
  for (const std::string& event : events)
    if (event != "Progress" && event != "ProgressBounding") milestones.push_back(event);
  return milestones;
}
