#pragma once

#include <string>

#include "MidiOutput.h"

// What the music windows say, once, when their notes cannot be heard.
inline constexpr const char* kNoAudioNotice = "No audio output: notes are not heard. Songs can still be saved.";

// Opens the default device; the notice to show when no output could be
// started, empty when the notes will sound. The device's own result codes
// stay as silent as they were; only the window says something.
inline std::string OpenDefaultDevice(MidiOutput& device) {
  return device.OpenDevice(kMidiDefaultDevice) != 0 ? std::string() : std::string(kNoAudioNotice);
}
