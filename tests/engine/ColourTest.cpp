#include <gtest/gtest.h>

#include <tuple>

#include "HLS.h"

namespace {

TEST(HLSTest, ColoursOfTheWheelGreysAndClampedChannels) {
  const struct {
    int hue, luminance, saturation, red, green, blue;
  } colours[] = {
      // The rendered hues (luminance 127, saturation 255) at the boundaries
      // between the six hue ranges, where an off-by-one or a wrong rounding
      // shows first.
      {0, 127, 255, 254, 0, 0},     {4, 127, 255, 254, 24, 0},    {40, 127, 255, 254, 239, 0},
      {44, 127, 255, 246, 253, 0},  {64, 127, 255, 127, 253, 0},  {88, 127, 255, 0, 253, 19},
      {128, 127, 255, 0, 251, 254}, {168, 127, 255, 0, 12, 254},  {172, 127, 255, 13, 0, 254},
      {200, 127, 255, 180, 0, 254}, {252, 127, 255, 254, 0, 19},
      // Saturation 0 is grey, clamped to the scale.
      {10, 100, 0, 100, 100, 100},  {170, 300, 0, 255, 255, 255},
      // Luminance above the middle takes the other upper level.
      {0, 200, 255, 255, 145, 145},
      // Red works out at 256 here; unclamped it would spill into green.
      {-80, 255, 255, 255, 254, 255},
      // Green works out at -1 here; unclamped it would borrow from blue.
      {100, 0, 255, 0, 0, 1},
      // upper = nearest((256 * 1 + 127) / 255) = 2, lower = 0: red is the
      // upper level at hue 0, green and blue the lower.
      {0, 1, 1, 2, 0, 0},
  };
  for (const auto& c : colours) {
    const std::int32_t packed = HLSToRGB(c.hue, c.luminance, c.saturation);
    EXPECT_EQ(std::make_tuple(packed & 0xFF, packed >> 8 & 0xFF, packed >> 16), std::make_tuple(c.red, c.green, c.blue))
        << c.hue << " " << c.luminance << " " << c.saturation;
  }
}

TEST(HLSTest, HueWrapsOnA255StepCircle) {
  EXPECT_EQ(HueToRGB(0, 254, -85), 0.0);    // works on 170: low
  EXPECT_EQ(HueToRGB(0, 254, 340), 254.0);  // works on 85: high
  EXPECT_EQ(HueToRGB(10, 200, 255), 10.0);  // 255 stays 255, not 0
  EXPECT_LT(HueToRGB(0, 254, 42), 254.0);   // still interpolating
  EXPECT_EQ(HueToRGB(0, 254, 43), 254.0);
}

}  // namespace
