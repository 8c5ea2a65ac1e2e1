#include "Readouts.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadoutsTest, MagnificationAndCoordinatesReadAsTheirBoxesShowThem) {
  // The factor is cut down to hundredths before the mantissa is rounded.
  for (const auto& [zoomFactor, text] : {std::pair{1.0, "1.00E+00X"}, {123.0, "1.23E+02X"},
                                         {0.5, "5.00E-01X"}, {1.999, "1.99E+00X"}, {999.999, "1.00E+03X"},
                                         {0.004, "0.00E+00X"}, {3.4e120, "3.40E+120X"}})
    EXPECT_EQ(FormatMagnification(zoomFactor), text) << zoomFactor;
  // The imaginary part the right way up, with fifteen digits.
  EXPECT_EQ(FormatCoordinates(-0.75, 0.1), "R: -0.75\n I: -0.1");
  EXPECT_EQ(FormatCoordinates(0.25, -1.5), "R: 0.25\n I: 1.5");
  EXPECT_EQ(FormatCoordinates(0, 0), "R: 0\n I: 0") << "no negative zero";
  EXPECT_EQ(FormatCoordinates(0.123456789012345678, 1e-12), "R: 0.123456789012346\n I: -1e-12");
}

}  // namespace
