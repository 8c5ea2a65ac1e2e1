#include "OrbitNote.h"

#include <algorithm>
#include <cmath>

#include "TypedValues.h"

namespace {

std::int16_t ClampTo16(double value) {
  return static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace

bool OrbitValueSounds(ComplexNumber z) { return z.real * z.real + z.imaginary * z.imaginary < 4.0; }

std::int16_t OrbitPitch(ComplexNumber z) {
  return static_cast<std::int16_t>(Nearest((z.real + 2) * 127 / 4) & 127);
}

std::int16_t OrbitVelocity(ComplexNumber z) {
  return static_cast<std::int16_t>(Nearest(std::sqrt(z.real * z.real + z.imaginary * z.imaginary) * 31.25 + 64));
}

double OrbitNoteInterval(ComplexNumber z) { return (z.imaginary + 2) * 125; }

OrbitPixel OrbitScreenPoint(ComplexNumber z, int width, int height) {
  // Values just outside the disc still map near the picture; far ones are
  // kept in 16 bits instead of wrapping round to the other side.
  return {ClampTo16(std::floor((z.real + 2) / (4.0 / width))),
          ClampTo16(std::floor((2 - z.imaginary) / (4.0 / height)))};
}
