#include "ZoomBox.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// A viewport of 600 x 400 pixels and a drag that began at (300, 200).
TEST(ZoomBoxTest, ADragKeepsTheViewportsAspectAroundItsStart) {
  const struct {
    float x, y;
    ZoomBox expected;
  } drags[] = {
      {330, 205, {270, 180, 60, 40}},          // the width rules
      {300, 210, {285, 190, 30, 20}},          // straight down: the height rules
      {270, 190, {270, 180, 60, 40}},          // up and left mirror the same box
      {315, 210, {285, 190, 30, 20}},          // 10 * 600 / 400 = 15 ties go to the height
      {300, 200, {300, 200, 0, 0}},
      {900, 200, {-300, -200, 1200, 800}},     // past the edges
  };
  for (const auto& drag : drags) {
    const ZoomBox box = ZoomBox::FromDrag(300, 200, drag.x, drag.y, 600, 400);
    EXPECT_EQ((std::array{box.left, box.top, box.width, box.height}),
              (std::array{drag.expected.left, drag.expected.top, drag.expected.width, drag.expected.height}))
        << "to " << drag.x << "," << drag.y;
  }
  EXPECT_TRUE(ZoomBox::FromDrag(5, 5, 50, 50, 600, 0).IsTiny()) << "an empty viewport gives an empty box";
}

TEST(ZoomBoxTest, ABoxOfWidthPlusHeightTwoIsStillAClickAndPixelsRoundHalvesToEven) {
  EXPECT_TRUE((ZoomBox{10, 10, 1.2f, 0.8f}).IsTiny());
  EXPECT_FALSE((ZoomBox{10, 10, 1.5f, 1.0f}).IsTiny());
  EXPECT_EQ((ZoomBox{10.5f, 11.5f, 60.5f, 40.4f}).PixelRectangle(), (std::array<std::int16_t, 4>{10, 12, 60, 40}));
}

}  // namespace
