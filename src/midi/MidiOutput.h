#pragma once

#include <cstdint>

#include "Dialogs.h"
#include "MidiService.h"

// Live output to one port of a MIDI output service. Every operation sends its
// messages at once; the class knows nothing of time. Failures of the service
// are reported by ReportMidiError: a port held by another program shows a
// message, every other code is dropped silently.
//
// The service and the dialogs must outlive the instance.
class MidiOutput {
 public:
  MidiOutput(MidiService& service, Dialogs& dialogs);
  // Closes a port its owner left open, so the port is not lost to the
  // process; owners still call CloseDevice themselves.
  ~MidiOutput();
  MidiOutput(const MidiOutput&) = delete;
  MidiOutput& operator=(const MidiOutput&) = delete;

  void CloseDevice();
  // -1 (true) when a port is open after the call, 0 (false) otherwise.
  std::int16_t OpenDevice(std::int16_t deviceId);
  void AllSoundsOff();
  void AllNotesOff(std::int16_t midiChannel);
  void ControlChange(std::int16_t midiChannel, std::int16_t controlChangeNumber, std::int16_t value);
  void NoteOff(std::int16_t midiChannel, std::int16_t midiNote);
  void NoteOn(std::int16_t midiChannel, std::int16_t midiNote, std::int16_t velocity);
  void ProgramChange(std::int16_t midiChannel, std::int16_t value, std::int16_t patchNumber);
  void ResetControllers();

  bool IsOpen() const { return deviceHandle != 0; }

 private:
  void SendShortMessage(std::int16_t status, std::int16_t data1, std::int16_t data2);
  static std::uint32_t PackShortMessage(std::int16_t status, std::int16_t data1, std::int16_t data2);
  void ReportMidiError(MidiResult errorCode);

  MidiService& service_;
  Dialogs& dialogs_;
  MidiHandle deviceHandle = 0;
};
