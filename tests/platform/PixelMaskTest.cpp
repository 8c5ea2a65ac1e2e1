#include "PixelMask.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Covered(const PixelMask& mask) {
  Pixels covered;
  const QRect clip = mask.Clip();
  for (int y = clip.top(); y <= clip.bottom(); ++y)
    for (int x = clip.left(); x <= clip.right(); ++x)
      if (mask.Contains(x, y)) covered.insert({x, y});
  return covered;
}

TEST(PixelMaskTest, LinesStopOnePixelShortOfTheirEnd) {
  PixelMask horizontal(QRect(0, 0, 10, 10));
  horizontal.Line(1, 2, 5, 2, 1);
  EXPECT_EQ(Covered(horizontal), (Pixels{{1, 2}, {2, 2}, {3, 2}, {4, 2}}));

  PixelMask diagonal(QRect(0, 0, 10, 10));
  diagonal.Line(4, 4, 1, 1, 1);
  EXPECT_EQ(Covered(diagonal), (Pixels{{4, 4}, {3, 3}, {2, 2}}));

  PixelMask point(QRect(0, 0, 10, 10));
  point.Line(3, 3, 3, 3, 1);
  EXPECT_TRUE(point.IsEmpty());
}

TEST(PixelMaskTest, SteepLinesCoverOnePixelPerRow) {
  PixelMask mask(QRect(0, 0, 20, 20));
  mask.Line(0, 0, 3, 12, 1);
  const Pixels covered = Covered(mask);
  ASSERT_EQ(covered.size(), 12u);
  std::set<int> rows;
  for (const auto& [x, y] : covered) rows.insert(y);
  EXPECT_EQ(rows.size(), 12u);
}

TEST(PixelMaskTest, WidePensAndOutlinesStayInsideTheirCorners) {
  PixelMask outline(QRect(0, 0, 10, 10));
  outline.RectangleOutline(2, 2, 6, 5, 2);
  // A 5 x 4 rectangle with a border two pixels deep leaves a 1 x 0 hole: none.
  EXPECT_EQ(Covered(outline).size(), 20u);
  EXPECT_FALSE(outline.Contains(1, 2));
  EXPECT_FALSE(outline.Contains(7, 5));

  PixelMask wide(QRect(0, 0, 10, 10));
  wide.RectangleOutline(1, 1, 8, 8, 1);
  EXPECT_EQ(Covered(wide).size(), 28u);
  EXPECT_FALSE(wide.Contains(4, 4));

  PixelMask stamp(QRect(0, 0, 10, 10));
  stamp.Stamp(5, 5, 3);
  EXPECT_EQ(Covered(stamp), (Pixels{{4, 4}, {5, 4}, {6, 4}, {4, 5}, {5, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}}));
}

TEST(PixelMaskTest, FiguresAreCutAtTheClip) {
  PixelMask mask(QRect(0, 0, 4, 4));
  mask.FilledRectangle(-5, 2, 100, 100);
  EXPECT_EQ(Covered(mask).size(), 8u);
  mask.Line(-50, -50, 50, 50, 2);
  EXPECT_TRUE(mask.Contains(0, 0));
}

TEST(PixelMaskTest, InvertingTwiceRestoresThePictureAndOverlapsInvertOnce) {
  QImage image(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) image.setPixel(x, y, qRgb(x * 30, y * 30, 77));
  const QImage original = image.copy();

  PixelMask mask(image.rect());
  // The outline's corners are covered by two of its sides; they still
  // invert once.
  mask.RectangleOutline(1, 1, 6, 6, 2);
  mask.InvertOver(image);
  EXPECT_EQ(image.pixel(1, 1), qRgb(255 - 30, 255 - 30, 255 - 77));
  EXPECT_EQ(image.pixel(4, 4), original.pixel(4, 4));
  mask.InvertOver(image);
  EXPECT_EQ(image, original);
}

}  // namespace
