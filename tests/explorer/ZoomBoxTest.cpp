#include "ZoomBox.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace {

// A viewport of 600 x 400 pixels and a drag that began at (300, 200): the
// width rules, straight down the height rules, up and left mirror the same
// box, 10 * 600 / 400 = 15 ties go to the height, no move is a point, and the
// box may reach past the edges.
TEST(ZoomBoxTest, ADragKeepsTheViewportsAspectAroundItsStart) {
  const std::tuple<float, float, std::array<float, 4>> drags[] = {
      {330, 205, {270, 180, 60, 40}}, {300, 210, {285, 190, 30, 20}}, {270, 190, {270, 180, 60, 40}},
      {315, 210, {285, 190, 30, 20}}, {300, 200, {300, 200, 0, 0}},   {900, 200, {-300, -200, 1200, 800}}};
  for (const auto& [x, y, expected] : drags) {
    const ZoomBox box = ZoomBox::FromDrag(300, 200, x, y, 600, 400);
    EXPECT_EQ((std::array{box.left, box.top, box.width, box.height}), expected) << x << "," << y;
  }
  EXPECT_TRUE(ZoomBox::FromDrag(5, 5, 50, 50, 600, 0).IsTiny()) << "an empty viewport gives an empty box";
  // Width plus height of 2 is still a click; pixels round halves to even.
  EXPECT_TRUE((ZoomBox{10, 10, 1.2f, 0.8f}).IsTiny());
  EXPECT_FALSE((ZoomBox{10, 10, 1.5f, 1.0f}).IsTiny());
  EXPECT_EQ((ZoomBox{10.5f, 11.5f, 60.5f, 40.4f}).PixelRectangle(), (std::array<std::int16_t, 4>{10, 12, 60, 40}));
}

}  // namespace
