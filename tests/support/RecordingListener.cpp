#include "RecordingListener.h"

#include <sstream>

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
