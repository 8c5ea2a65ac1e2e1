#include "ZoomBox.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct DragCase {
  float x;
  float y;
  ZoomBox expected;
};

void PrintTo(const DragCase& drag, std::ostream* out) { *out << "to " << drag.x << "," << drag.y; }

class ZoomBoxDragTest : public ::testing::TestWithParam<DragCase> {};

// A viewport of 600 x 400 pixels and a drag that began at (300, 200).
TEST_P(ZoomBoxDragTest, KeepsTheViewportsAspectAroundTheStart) {
  const ZoomBox box = ZoomBox::FromDrag(300, 200, GetParam().x, GetParam().y, 600, 400);
  EXPECT_FLOAT_EQ(box.left, GetParam().expected.left);
  EXPECT_FLOAT_EQ(box.top, GetParam().expected.top);
  EXPECT_FLOAT_EQ(box.width, GetParam().expected.width);
  EXPECT_FLOAT_EQ(box.height, GetParam().expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, ZoomBoxDragTest,
    ::testing::Values(DragCase{330, 205, {270, 180, 60, 40}},   // the width rules
                      DragCase{300, 210, {285, 190, 30, 20}},   // straight down: the height rules
                      DragCase{270, 190, {270, 180, 60, 40}},   // up and left mirror the same box
                      DragCase{315, 210, {285, 190, 30, 20}},   // 10 * 600 / 400 = 15 ties go to the height
                      DragCase{300, 200, {300, 200, 0, 0}},
                      DragCase{900, 200, {-300, -200, 1200, 800}}));  // past the edges

TEST(ZoomBoxTest, ABoxOfWidthPlusHeightTwoIsStillAClick) {
  EXPECT_TRUE((ZoomBox{10, 10, 1.2f, 0.8f}).IsTiny());
  EXPECT_TRUE((ZoomBox{10, 10, 0, 0}).IsTiny());
  EXPECT_FALSE((ZoomBox{10, 10, 1.5f, 1.0f}).IsTiny());
}

TEST(ZoomBoxTest, PixelRectangleRoundsHalvesToEven) {
  const auto rectangle = (ZoomBox{10.5f, 11.5f, 60.5f, 40.4f}).PixelRectangle();
  EXPECT_EQ(rectangle, (std::array<std::int16_t, 4>{10, 12, 60, 40}));
}

TEST(ZoomBoxTest, AnEmptyViewportGivesAnEmptyBox) {
  const ZoomBox box = ZoomBox::FromDrag(5, 5, 50, 50, 600, 0);
  EXPECT_TRUE(box.IsTiny());
}

}  // namespace
