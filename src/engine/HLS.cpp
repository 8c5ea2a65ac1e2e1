#include "HLS.h"

#include <algorithm>
#include <cmath>
#include "Nearest.h"

namespace {

constexpr std::int32_t kScaleMax = 255;
constexpr std::int32_t kThirdOfHue = 85;
constexpr double kSixthOfHue = 255.0 / 6.0;
constexpr double kTwelfthOfHue = 255.0 / 12.0;


// Channels are 16-bit before the clamp; the formulas never leave that range.
std::int32_t Channel(double level, double bias) {
  const auto value = static_cast<std::int16_t>(Nearest((level * kScaleMax + 127) / kScaleMax + bias));
  return std::clamp<std::int32_t>(value, 0, kScaleMax);
}

}  // namespace

double HueToRGB(std::int32_t low, std::int32_t high, std::int32_t hue) {
  if (hue < 0) hue += kScaleMax;
  if (hue > kScaleMax) hue -= kScaleMax;
  const std::int32_t span = high - low;
  if (hue < kSixthOfHue) return low + (span * hue + kTwelfthOfHue) / kSixthOfHue;
  if (hue < kScaleMax / 2) return high;
  if (hue < kScaleMax * 2 / 3) return low + (span * (kScaleMax * 2 / 3 - hue) + kTwelfthOfHue) / kSixthOfHue;
  return low;
}

std::int32_t HLSToRGB(std::int32_t hue, std::int32_t luminance, std::int32_t saturation) {
  std::int32_t red, green, blue;
  if (saturation == 0) {
    red = green = blue = std::clamp<std::int32_t>(luminance, 0, kScaleMax);
  } else {
    const std::int32_t upper =
        luminance > kScaleMax / 2
            ? Nearest((luminance + saturation) - (luminance * saturation + 127) / static_cast<double>(kScaleMax))
            : Nearest(((saturation + kScaleMax) * luminance + 127) / static_cast<double>(kScaleMax));
    const std::int32_t lower = 2 * luminance - upper;
    red = Channel(HueToRGB(lower, upper, hue + kThirdOfHue), 0.0);
    // Green alone carries an extra step down; every rendered colour depends on it.
    green = Channel(HueToRGB(lower, upper, hue), -1.0);
    blue = Channel(HueToRGB(lower, upper, hue - kThirdOfHue), 0.0);
  }
  return red + 256 * green + 65536 * blue;
}
