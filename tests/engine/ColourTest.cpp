#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "HLS.h"

namespace {

TEST(HLSTest, ColoursOfTheWheelGreysAndClampedChannels) {
  // The rendered hues (luminance 127, saturation 255) at the boundaries
  // between the six hue ranges, where an off-by-one or a wrong rounding shows
  // first; grey, clamped to the scale; luminance above the middle, which takes
  // the other upper level; red working out at 256 and green at -1, which
  // unclamped would spill into their neighbours; the darkest tint, whose upper
  // level nearest((256 * 1 + 127) / 255) = 2 red takes at hue 0.
  const std::array<int, 6> colours[] = {
      {0, 127, 255, 254, 0, 0},     {4, 127, 255, 254, 24, 0},    {40, 127, 255, 254, 239, 0},
      {44, 127, 255, 246, 253, 0},  {64, 127, 255, 127, 253, 0},  {88, 127, 255, 0, 253, 19},
      {128, 127, 255, 0, 251, 254}, {168, 127, 255, 0, 12, 254},  {172, 127, 255, 13, 0, 254},
      {200, 127, 255, 180, 0, 254}, {252, 127, 255, 254, 0, 19},  {10, 100, 0, 100, 100, 100},
      {170, 300, 0, 255, 255, 255}, {0, 200, 255, 255, 145, 145}, {-80, 255, 255, 255, 254, 255},
      {100, 0, 255, 0, 0, 1},       {0, 1, 1, 2, 0, 0}};
  for (const auto& [hue, luminance, saturation, red, green, blue] : colours) {
    const std::int32_t packed = HLSToRGB(hue, luminance, saturation);
    EXPECT_EQ(std::tuple(packed & 0xFF, packed >> 8 & 0xFF, packed >> 16), std::tuple(red, green, blue))
        << hue << " " << luminance << " " << saturation;
  }
}

}  // namespace
