#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "MidiService.h"

// Test stand-in for a MIDI output service: hands out handles 1, 2, ... and
// records every call. Open results can be scripted; sends and closes to a
// handle that is not open answer kMidiResultInvalidHandle, as a real service
// does for handle 0.
class RecordingMidiService final : public MidiService {
 public:
  enum class Call { Open, Send, Close };

  struct Recorded {
    Call call;
    int deviceId = 0;         // Open
    MidiHandle handle = 0;    // Send, Close; for Open the handle given out
    std::uint32_t message = 0;  // Send
    MidiResult result = kMidiResultOk;
  };

  // The next Open answers this code (and no handle) instead of succeeding.
  void FailNextOpen(MidiResult result) { openFailures_.push_back(result); }
  // Every Send from now on answers this code (kMidiResultOk to stop).
  void FailSends(MidiResult result) { sendResult_ = result; }
  // The next Close answers this code; the handle is released all the same.
  void FailNextClose(MidiResult result) { closeFailures_.push_back(result); }
  void SetDeviceNames(std::vector<std::string> names) { deviceNames_ = std::move(names); }

  const std::vector<Recorded>& Calls() const { return calls_; }
  // The packed messages delivered (result 0) to open handles, in order.
  std::vector<std::uint32_t> DeliveredMessages() const;
  bool IsOpen(MidiHandle handle) const { return open_.count(handle) != 0; }
  std::size_t OpenCount() const { return open_.size(); }
  void ClearCalls() { calls_.clear(); }

  MidiOpenResult Open(int deviceId) override;
  MidiResult SendShortMessage(MidiHandle handle, std::uint32_t message) override;
  MidiResult Close(MidiHandle handle) override;
  std::vector<std::string> DeviceNames() override { return deviceNames_; }

 private:
  std::vector<Recorded> calls_;
  std::deque<MidiResult> openFailures_;
  std::deque<MidiResult> closeFailures_;
  MidiResult sendResult_ = kMidiResultOk;
  std::set<MidiHandle> open_;
  MidiHandle nextHandle_ = 1;
  std::vector<std::string> deviceNames_;
};
