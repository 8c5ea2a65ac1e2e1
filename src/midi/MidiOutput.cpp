#include "MidiOutput.h"

namespace {

constexpr std::int16_t kControlChange = 0xB0;
constexpr std::int16_t kNoteOn = 0x90;
constexpr std::int16_t kProgramChange = 0xC0;
constexpr std::int16_t kAllSoundOffController = 120;
constexpr std::int16_t kResetControllersController = 121;
constexpr std::int16_t kAllNotesOffController = 123;
constexpr std::int16_t kBankSelectController = 0;
constexpr std::int16_t kChannels = 16;

}  // namespace

MidiOutput::MidiOutput(MidiService& service, Dialogs& dialogs) : service_(service), dialogs_(dialogs) {}

MidiOutput::~MidiOutput() {
  // Nobody is left to read a message box now; just give the port back.
  if (deviceHandle != 0) service_.Close(deviceHandle);
}

void MidiOutput::CloseDevice() {
  if (deviceHandle == 0) return;
  const MidiResult result = service_.Close(deviceHandle);
  if ((result & 0xFFFF) != 0) ReportMidiError(result);
  deviceHandle = 0;
}

std::int16_t MidiOutput::OpenDevice(std::int16_t deviceId) {
  CloseDevice();
  const MidiOpenResult opened = service_.Open(deviceId);
  if ((opened.result & 0xFFFF) == 0) deviceHandle = opened.handle;
  else ReportMidiError(opened.result);
  return deviceHandle != 0 ? -1 : 0;
}

void MidiOutput::AllSoundsOff() {
  for (std::int16_t channel = 0; channel < kChannels; ++channel) {
    SendShortMessage(kControlChange + channel, kAllSoundOffController, 0);
    SendShortMessage(kControlChange + channel, kAllNotesOffController, 0);
  }
}

void MidiOutput::AllNotesOff(std::int16_t midiChannel) {
  // Controller 120 (all sound off) is what this operation has always sent.
  SendShortMessage(kControlChange + midiChannel, kAllSoundOffController, 0);
}

void MidiOutput::ControlChange(std::int16_t midiChannel, std::int16_t controlChangeNumber, std::int16_t value) {
  SendShortMessage(kControlChange + midiChannel, controlChangeNumber, value);
}

void MidiOutput::NoteOff(std::int16_t midiChannel, std::int16_t midiNote) {
  // A note-on with velocity 0 rather than status 0x80, as receivers expect
  // from a sender that keeps one status byte for both.
  SendShortMessage(kNoteOn + midiChannel, midiNote, 0);
}

void MidiOutput::NoteOn(std::int16_t midiChannel, std::int16_t midiNote, std::int16_t velocity) {
  SendShortMessage(kNoteOn + midiChannel, midiNote, velocity);
}

void MidiOutput::ProgramChange(std::int16_t midiChannel, std::int16_t value, std::int16_t patchNumber) {
  ControlChange(midiChannel, kBankSelectController, value);
  SendShortMessage(kProgramChange + midiChannel, patchNumber, 0);
}

void MidiOutput::ResetControllers() {
  for (std::int16_t channel = 0; channel < kChannels; ++channel)
    SendShortMessage(kControlChange + channel, kResetControllersController, 0);
}

void MidiOutput::SendShortMessage(std::int16_t status, std::int16_t data1, std::int16_t data2) {
  const MidiResult result = service_.SendShortMessage(deviceHandle, PackShortMessage(status, data1, data2));
  if ((result & 0xFFFF) != 0) ReportMidiError(result);
}

std::uint32_t MidiOutput::PackShortMessage(std::int16_t status, std::int16_t data1, std::int16_t data2) {
  // Callers keep to 0..127 for data bytes; the sum is taken as it comes.
  const std::int64_t packed = std::int64_t{status} + std::int64_t{data1} * 256 + std::int64_t{data2} * 65536;
  return static_cast<std::uint32_t>(packed);
}

void MidiOutput::ReportMidiError(MidiResult errorCode) {
  if ((errorCode & 0xFFFF) != kMidiResultAllocated) return;
  dialogs_.MessageBox(
      "Unable to initialize the MIDI subsystem.  Please make sure that no MIDI programs are currently running.",
      MessageButtons::Ok, MessageIcon::None);
}
