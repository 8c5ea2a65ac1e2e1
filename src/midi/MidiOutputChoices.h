#pragma once

#include <string>
#include <vector>

#include "MidiService.h"

// The outputs the music windows offer in their "MIDI Output" menu: the
// built-in synthesizer first, then every port of the service, with the one
// that the default device reaches now checked. A preferred port that has
// gone leaves the synthesizer checked, as it is then the one that sounds.
struct MidiOutputChoices {
  static constexpr const char* kSynthesizerName = "Built-in Synthesizer";

  std::vector<std::string> names;  // names[0] is the synthesizer
  int checked = 0;
};

MidiOutputChoices ListMidiOutputs(MidiService& service);

// Makes the choice at index (as listed) the default device's route; returns
// the preferred port now held, empty for the synthesizer, for keeping.
std::string ChooseMidiOutput(MidiService& service, const MidiOutputChoices& choices, int index);
