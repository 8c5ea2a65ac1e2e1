#include <gtest/gtest.h>

#include <tuple>

#include "ComplexNumber.h"
#include "HLS.h"

namespace {

std::tuple<int, int, int> Channels(std::int32_t colour) {
  return {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
}

TEST(ComplexNumberTest, SquareIsNotFusedIntoOneRounding) {
  // With a fused multiply-subtract, a*a - b*b keeps the exact a*a and differs
  // from two separately rounded products for these operands.
  const double a = 1.0 + 0x1p-30;
  const double b = 1.0 + 0x1p-29;
  EXPECT_EQ(ComplexSquare({a, b}).real, (a * a) - (b * b));
  EXPECT_EQ(ComplexSquare({1, 1}).imaginary, 2.0);
  EXPECT_EQ(ComplexMagnitudeSquared({3, 4}), 25.0);
}

struct HueCase {
  int hue, red, green, blue;
};

class RenderedHueTest : public testing::TestWithParam<HueCase> {};

TEST_P(RenderedHueTest, MatchesTheColourWheel) {
  const HueCase& expected = GetParam();
  EXPECT_EQ(Channels(HLSToRGB(expected.hue, 127, 255)), std::make_tuple(expected.red, expected.green, expected.blue));
}

// The boundaries between the six hue ranges, where an off-by-one or a wrong
// rounding shows first.
INSTANTIATE_TEST_SUITE_P(ChannelBoundaries, RenderedHueTest,
                         testing::Values(HueCase{0, 254, 0, 0}, HueCase{4, 254, 24, 0}, HueCase{40, 254, 239, 0},
                                         HueCase{44, 246, 253, 0}, HueCase{64, 127, 253, 0},
                                         HueCase{88, 0, 253, 19}, HueCase{128, 0, 251, 254},
                                         HueCase{168, 0, 12, 254}, HueCase{172, 13, 0, 254},
                                         HueCase{200, 180, 0, 254}, HueCase{252, 254, 0, 19}));

TEST(HLSTest, GreyBrightAndClampedColours) {
  EXPECT_EQ(Channels(HLSToRGB(10, 100, 0)), std::make_tuple(100, 100, 100));
  // Luminance above the middle takes the other upper level.
  EXPECT_EQ(Channels(HLSToRGB(0, 200, 255)), std::make_tuple(255, 145, 145));
  // Red works out at 256 here; unclamped it would spill into green.
  EXPECT_EQ(Channels(HLSToRGB(-80, 255, 255)), std::make_tuple(255, 254, 255));
  // Green works out at -1 here; unclamped it would borrow from blue.
  EXPECT_EQ(HLSToRGB(100, 0, 255), 65536);
}

TEST(HueToRGBTest, HueWrapsOnA255StepCircle) {
  EXPECT_EQ(HueToRGB(0, 254, -85), 0.0);    // works on 170: low
  EXPECT_EQ(HueToRGB(0, 254, 340), 254.0);  // works on 85: high
  EXPECT_EQ(HueToRGB(10, 200, 255), 10.0);  // 255 stays 255, not 0
  EXPECT_LT(HueToRGB(0, 254, 42), 254.0);   // still interpolating
  EXPECT_EQ(HueToRGB(0, 254, 43), 254.0);
}

}  // namespace
