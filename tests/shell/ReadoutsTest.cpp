#include "Readouts.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct MagnificationCase {
  double zoomFactor;
  const char* text;
};

void PrintTo(const MagnificationCase& magnification, std::ostream* out) { *out << magnification.zoomFactor; }

class MagnificationTest : public ::testing::TestWithParam<MagnificationCase> {};

TEST_P(MagnificationTest, ReadsAsTheBoxShowsIt) {
  EXPECT_EQ(FormatMagnification(GetParam().zoomFactor).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Factors, MagnificationTest,
                         ::testing::Values(MagnificationCase{1, "1.00E+00X"}, MagnificationCase{123, "1.23E+02X"},
                                           MagnificationCase{0.5, "5.00E-01X"},
                                           // Cut down to hundredths before the mantissa is rounded.
                                           MagnificationCase{1.999, "1.99E+00X"},
                                           MagnificationCase{999.999, "1.00E+03X"},
                                           MagnificationCase{0.004, "0.00E+00X"},
                                           MagnificationCase{3.4e120, "3.40E+120X"}));

TEST(CoordinatesTest, ShowsTheImaginaryPartTheRightWayUp) {
  EXPECT_EQ(FormatCoordinates(-0.75, 0.1).toStdString(), "R: -0.75\n I: -0.1");
  EXPECT_EQ(FormatCoordinates(0.25, -1.5).toStdString(), "R: 0.25\n I: 1.5");
  EXPECT_EQ(FormatCoordinates(0, 0).toStdString(), "R: 0\n I: 0") << "no negative zero";
}

TEST(CoordinatesTest, KeepsFifteenDigitsAndUsesExponentsForTinyValues) {
  EXPECT_EQ(FormatCoordinates(0.123456789012345678, 1e-12).toStdString(), "R: 0.123456789012346\n I: -1e-12");
}

}  // namespace
