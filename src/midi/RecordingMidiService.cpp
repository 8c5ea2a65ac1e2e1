#include "RecordingMidiService.h"

std::vector<std::uint32_t> RecordingMidiService::DeliveredMessages() const {
  std::vector<std::uint32_t> messages;
  for (const Recorded& recorded : calls_)
    if (recorded.call == Call::Send && recorded.result == kMidiResultOk) messages.push_back(recorded.message);
  return messages;
}

MidiOpenResult RecordingMidiService::Open(int deviceId) {
  MidiOpenResult opened;
  if (!openFailures_.empty()) {
    opened.result = openFailures_.front();
    openFailures_.pop_front();
  } else {
    opened.handle = nextHandle_++;
    open_.insert(opened.handle);
  }
  calls_.push_back({Call::Open, deviceId, opened.handle, 0, opened.result});
  return opened;
}

MidiResult RecordingMidiService::SendShortMessage(MidiHandle handle, std::uint32_t message) {
  const MidiResult result = IsOpen(handle) ? sendResult_ : kMidiResultInvalidHandle;
  calls_.push_back({Call::Send, 0, handle, message, result});
  return result;
}

MidiResult RecordingMidiService::Close(MidiHandle handle) {
  MidiResult result = kMidiResultInvalidHandle;
  if (open_.erase(handle) != 0) {
    result = kMidiResultOk;
    if (!closeFailures_.empty()) {
      result = closeFailures_.front();
      closeFailures_.pop_front();
    }
  }
  calls_.push_back({Call::Close, 0, handle, 0, result});
  return result;
}
