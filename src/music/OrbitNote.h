#pragma once

#include <cstdint>

#include "ComplexNumber.h"

// How an orbit value z = (re, im) inside the radius-2 disc sounds: the real
// axis from -2 to 2 spans the MIDI notes, the distance from the origin sets
// the loudness and the imaginary part the time to the next note.
bool OrbitValueSounds(ComplexNumber z);  // re^2 + im^2 < 4
std::int16_t OrbitPitch(ComplexNumber z);
std::int16_t OrbitVelocity(ComplexNumber z);
double OrbitNoteInterval(ComplexNumber z);  // milliseconds, live playback only

// Where the orbit drawing puts a value on the Orbiter's picture of width x
// height pixels, spanning -2..2 on both axes with the imaginary axis up.
struct OrbitPixel {
  std::int16_t x = 0;
  std::int16_t y = 0;
};
OrbitPixel OrbitScreenPoint(ComplexNumber z, int width, int height);
