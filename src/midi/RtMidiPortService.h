#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MidiService.h"

class RtMidiOut;

// Devices 0, 1, ... as the system's MIDI output ports (ALSA sequencer), in
// RtMidi's port order. Ports are shared, so no open is ever refused as held.
class RtMidiPortService final : public MidiService {
 public:
  RtMidiPortService();
  ~RtMidiPortService() override;

  MidiOpenResult Open(int deviceId) override;
  MidiResult SendShortMessage(MidiHandle handle, std::uint32_t message) override;
  MidiResult Close(MidiHandle handle) override;
  std::vector<std::string> DeviceNames() override;

 private:
  std::map<MidiHandle, std::unique_ptr<RtMidiOut>> ports_;
  MidiHandle nextHandle_ = 1;
};
