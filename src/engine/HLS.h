#pragma once

#include <cstdint>

// Hue/luminance/saturation on a 0..255 scale to a packed colour
// (red + 256 * green + 65536 * blue). Hue is a circle of 255 steps.
std::int32_t HLSToRGB(std::int32_t hue, std::int32_t luminance, std::int32_t saturation);

// One channel's level for a hue between the lower and upper levels; the
// interpolating ranges return fractions, the flat ones the level itself.
double HueToRGB(std::int32_t low, std::int32_t high, std::int32_t hue);
