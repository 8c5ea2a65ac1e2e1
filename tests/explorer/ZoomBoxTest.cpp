#include "ZoomBox.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// A viewport of 600 x 400 pixels and a drag that began at (300, 200): the
// width rules, straight down the height rules, up and left mirror the same
// box, 10 * 600 / 400 = 15 ties go to the height, no move is a point, and the
// box may reach past the edges.
TEST(ZoomBoxTest, ADragKeepsTheViewportsAspectAroundItsStart) {
  const struct {
    float x, y;
    std::array<float, 4> box;
  } drags[] = {{330, 205, {270, 180, 60, 40}}, {300, 210, {285, 190, 30, 20}}, {270, 190, {270, 180, 60, 40}},
               {315, 210, {285, 190, 30, 20}}, {300, 200, {300, 200, 0, 0}},   {900, 200, {-300, -200, 1200, 800}}};
  for (const auto& drag : drags) {
    const ZoomBox box = ZoomBox::FromDrag(300, 200, drag.x, drag.y, 600, 400);
    EXPECT_EQ((std::array{box.left, box.top, box.width, box.height}), drag.box) << drag.x << "," << drag.y;
  }
  EXPECT_TRUE(ZoomBox::FromDrag(5, 5, 50, 50, 600, 0).IsTiny()) << "an empty viewport gives an empty box";
  // Width plus height of 2 is still a click; pixels round halves to even.
  EXPECT_TRUE((ZoomBox{10, 10, 1.2f, 0.8f}).IsTiny());
  EXPECT_FALSE((ZoomBox{10, 10, 1.5f, 1.0f}).IsTiny());
  EXPECT_EQ((ZoomBox{10.5f, 11.5f, 60.5f, 40.4f}).PixelRectangle(), (std::array<std::int16_t, 4>{10, 12, 60, 40}));
}

}  // namespace
