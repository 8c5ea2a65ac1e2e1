#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MidiService.h"

// The service the desktop gives its music windows. Device -1 is the embedded
// synthesizer, or, when `preferredPort` is not empty, the first numbered port
// whose name contains that text (ignoring case); devices 0, 1, ... are the
// system's MIDI output ports. Handles of both sides are kept apart.
class DesktopMidiService final : public MidiService {
 public:
  DesktopMidiService(std::unique_ptr<MidiService> synthesizer, std::unique_ptr<MidiService> ports,
                     std::string preferredPort);

  MidiOpenResult Open(int deviceId) override;
  MidiResult SendShortMessage(MidiHandle handle, std::uint32_t message) override;
  MidiResult Close(MidiHandle handle) override;
  std::vector<std::string> DeviceNames() override { return ports_->DeviceNames(); }
  // Applies to the next Open of device -1.
  std::string PreferredPort() const override { return preferredPort_; }
  void SetPreferredPort(const std::string& portName) override { preferredPort_ = portName; }

 private:
  struct Route {
    MidiService* service = nullptr;
    MidiHandle innerHandle = 0;
  };
  MidiOpenResult Remember(MidiService& service, MidiOpenResult opened);

  std::unique_ptr<MidiService> synthesizer_;
  std::unique_ptr<MidiService> ports_;
  std::string preferredPort_;
  std::vector<std::pair<MidiHandle, Route>> routes_;
  MidiHandle nextHandle_ = 1;
};

// Index of the first name containing `wanted`, ignoring ASCII case.
std::optional<int> FindPortByName(const std::vector<std::string>& names, const std::string& wanted);

// FluidSynth for device -1 (or the port named by QUILLORY_MIDI_OUT, else
// savedPort), RtMidi's ALSA ports for 0, 1, .... Create one per process: the
// SoundFont is loaded once, in the background, when the service is made.
std::unique_ptr<MidiService> MakeDesktopMidiService(const std::string& savedPort = {});
