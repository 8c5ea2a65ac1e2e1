#include "DesktopMidiService.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "FluidSynthMidiService.h"
#include "RtMidiPortService.h"

namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::optional<int> FindPortByName(const std::vector<std::string>& names, const std::string& wanted) {
  const std::string needle = Lowered(wanted);
  for (std::size_t index = 0; index < names.size(); ++index)
    if (Lowered(names[index]).find(needle) != std::string::npos) return static_cast<int>(index);
  return std::nullopt;
}

DesktopMidiService::DesktopMidiService(std::unique_ptr<MidiService> synthesizer, std::unique_ptr<MidiService> ports,
                                       std::string preferredPort)
    : synthesizer_(std::move(synthesizer)), ports_(std::move(ports)), preferredPort_(std::move(preferredPort)) {}

MidiOpenResult DesktopMidiService::Open(int deviceId) {
  if (deviceId >= 0) return Remember(*ports_, ports_->Open(deviceId));
  if (deviceId != kMidiDefaultDevice) return {0, kMidiResultBadDeviceId};
  if (!preferredPort_.empty()) {
    // A named port that is not there (unplugged, DAW not started) leaves the
    // synthesizer to sound the notes rather than nothing.
    if (const auto port = FindPortByName(ports_->DeviceNames(), preferredPort_))
      return Remember(*ports_, ports_->Open(*port));
  }
  return Remember(*synthesizer_, synthesizer_->Open(kMidiDefaultDevice));
}

MidiOpenResult DesktopMidiService::Remember(MidiService& service, MidiOpenResult opened) {
  if (opened.handle == 0 || (opened.result & 0xFFFF) != 0) return {0, opened.result};
  const MidiHandle handle = nextHandle_++;
  routes_.push_back({handle, Route{&service, opened.handle}});
  return {handle, opened.result};
}

MidiResult DesktopMidiService::SendShortMessage(MidiHandle handle, std::uint32_t message) {
  for (const auto& [outer, route] : routes_)
    if (outer == handle) return route.service->SendShortMessage(route.innerHandle, message);
  return kMidiResultInvalidHandle;
}

MidiResult DesktopMidiService::Close(MidiHandle handle) {
  const auto found = std::find_if(routes_.begin(), routes_.end(), [handle](const auto& entry) { return entry.first == handle; });
  if (found == routes_.end()) return kMidiResultInvalidHandle;
  const Route route = found->second;
  routes_.erase(found);
  return route.service->Close(route.innerHandle);
}

std::unique_ptr<MidiService> MakeDesktopMidiService(const std::string& savedPort) {
  // The environment names the output for this run, whatever was chosen last time.
  const char* preferred = std::getenv("QUILLORY_MIDI_OUT");
  return std::make_unique<DesktopMidiService>(std::make_unique<FluidSynthMidiService>(),
                                              std::make_unique<RtMidiPortService>(),
                                              preferred ? preferred : savedPort);
}
