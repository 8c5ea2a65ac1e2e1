#pragma once

#include <string>

// The MIDI output the user chose last, kept between runs: the name of a
// port, or empty for the built-in synthesizer.
std::string SavedMidiOutput();
void SaveMidiOutput(const std::string& portName);
