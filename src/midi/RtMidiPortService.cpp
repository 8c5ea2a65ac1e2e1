#include "RtMidiPortService.h"

#include <rtmidi/RtMidi.h>

#include <filesystem>

namespace {

constexpr const char* kClientName = "Quillory";
constexpr const char* kSequencerDevice = "/dev/snd/seq";

// RtMidi prints to the console before it throws when the sequencer is
// missing; asking first keeps a machine without ALSA MIDI quiet.
bool SequencerPresent() {
  std::error_code error;
  return std::filesystem::exists(kSequencerDevice, error);
}

class RtMidiClient final : public MidiPortClient {
 public:
  unsigned getPortCount() override { return out_.getPortCount(); }
  std::string getPortName(unsigned port) override { return out_.getPortName(port); }
  void openPort(unsigned port, const std::string& portName) override { out_.openPort(port, portName); }
  bool isPortOpen() const override { return out_.isPortOpen(); }
  void sendMessage(const unsigned char* bytes, std::size_t size) override { out_.sendMessage(bytes, size); }

 private:
  RtMidiOut out_{RtMidi::LINUX_ALSA, kClientName};
};

// Program change and channel pressure carry one data byte, the rest two.
std::size_t MessageLength(unsigned char status) {
  const unsigned char kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

}  // namespace

std::unique_ptr<MidiPortClient> RtMidiPortService::ConnectToSequencer() {
  if (!SequencerPresent()) return nullptr;
  return std::make_unique<RtMidiClient>();
}

RtMidiPortService::RtMidiPortService(ClientMaker connect) : connect_(std::move(connect)) {}
RtMidiPortService::~RtMidiPortService() = default;

MidiOpenResult RtMidiPortService::Open(int deviceId) {
  if (deviceId < 0) return {0, kMidiResultBadDeviceId};
  try {
    auto port = connect_();
    if (!port) return {0, kMidiResultNoDriver};
    if (static_cast<unsigned>(deviceId) >= port->getPortCount()) return {0, kMidiResultBadDeviceId};
    port->openPort(static_cast<unsigned>(deviceId), "output");
    if (!port->isPortOpen()) return {0, kMidiResultError};
    const MidiHandle handle = nextHandle_++;
    ports_.emplace(handle, std::move(port));
    return {handle, kMidiResultOk};
  } catch (const RtMidiError& error) {
    const bool noSystem = error.getType() == RtMidiError::DRIVER_ERROR || error.getType() == RtMidiError::NO_DEVICES_FOUND;
    return {0, noSystem ? kMidiResultNoDriver : kMidiResultError};
  }
}

MidiResult RtMidiPortService::SendShortMessage(MidiHandle handle, std::uint32_t message) {
  const auto found = ports_.find(handle);
  if (found == ports_.end()) return kMidiResultInvalidHandle;
  const unsigned char bytes[] = {static_cast<unsigned char>(message & 0xFF),
                                 static_cast<unsigned char>((message >> 8) & 0xFF),
                                 static_cast<unsigned char>((message >> 16) & 0xFF)};
  // A status byte is what a receiver resynchronises on; without one there is no message.
  if (bytes[0] < 0x80) return kMidiResultOk;
  try {
    found->second->sendMessage(bytes, MessageLength(bytes[0]));
    return kMidiResultOk;
  } catch (const RtMidiError&) {
    return kMidiResultError;
  }
}

MidiResult RtMidiPortService::Close(MidiHandle handle) {
  return ports_.erase(handle) != 0 ? kMidiResultOk : kMidiResultInvalidHandle;
}

std::vector<std::string> RtMidiPortService::DeviceNames() {
  std::vector<std::string> names;
  try {
    const auto client = connect_();
    const unsigned count = client ? client->getPortCount() : 0;
    for (unsigned port = 0; port < count; ++port) names.push_back(client->getPortName(port));
  } catch (const RtMidiError&) {
    names.clear();  // no sequencer, no ports
  }
  return names;
}
