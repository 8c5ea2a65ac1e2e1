#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A port of a MIDI output service, as the multimedia library of the original
// desktop saw it: open a device id into a handle, send packed short messages
// to that handle, close it. Every call answers with a result code; 0 is
// success and only kMidiResultAllocated carries a meaning for MidiOutput.
using MidiHandle = std::uint32_t;
using MidiResult = std::uint32_t;

inline constexpr MidiResult kMidiResultOk = 0;
inline constexpr MidiResult kMidiResultError = 1;          // unspecified failure
inline constexpr MidiResult kMidiResultBadDeviceId = 2;    // no such device
inline constexpr MidiResult kMidiResultAllocated = 4;      // held by another user
inline constexpr MidiResult kMidiResultInvalidHandle = 5;  // not an open handle
inline constexpr MidiResult kMidiResultNoDriver = 6;       // no output could be started

// The default output; the desktop routes it to its synthesizer.
inline constexpr int kMidiDefaultDevice = -1;

struct MidiOpenResult {
  MidiHandle handle = 0;  // 0 when nothing was opened
  MidiResult result = kMidiResultOk;
};

class MidiService {
 public:
  virtual ~MidiService() = default;

  virtual MidiOpenResult Open(int deviceId) = 0;
  // message: status in the lowest byte, then data1, then data2.
  virtual MidiResult SendShortMessage(MidiHandle handle, std::uint32_t message) = 0;
  virtual MidiResult Close(MidiHandle handle) = 0;

  // Names of the devices 0, 1, ... in device id order; empty when the
  // service has no numbered devices.
  virtual std::vector<std::string> DeviceNames() { return {}; }

  // Where the default device sounds: the name of the port to prefer, or
  // empty for the built-in synthesizer. A service without that choice
  // ignores it.
  virtual std::string PreferredPort() const { return {}; }
  virtual void SetPreferredPort(const std::string& /*portName*/) {}
};
