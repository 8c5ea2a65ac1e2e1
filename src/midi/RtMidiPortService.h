#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MidiPortClient.h"
#include "MidiService.h"

// Devices 0, 1, ... as the system's MIDI output ports (ALSA sequencer), in
// RtMidi's port order. Ports are shared, so no open is ever refused as held.
class RtMidiPortService final : public MidiService {
 public:
  // A new client for each open and each listing; none when the system has no MIDI.
  using ClientMaker = std::function<std::unique_ptr<MidiPortClient>()>;

  explicit RtMidiPortService(ClientMaker connect = ConnectToSequencer);
  ~RtMidiPortService() override;

  MidiOpenResult Open(int deviceId) override;
  MidiResult SendShortMessage(MidiHandle handle, std::uint32_t message) override;
  MidiResult Close(MidiHandle handle) override;
  std::vector<std::string> DeviceNames() override;

  // RtMidi's client of the ALSA sequencer.
  static std::unique_ptr<MidiPortClient> ConnectToSequencer();

 private:
  ClientMaker connect_;
  std::map<MidiHandle, std::unique_ptr<MidiPortClient>> ports_;
  MidiHandle nextHandle_ = 1;
};
