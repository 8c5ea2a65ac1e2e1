#include "PictureBox.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <set>

#include "PixelMask.h"
#include "WidgetTesting.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Covered(const std::function<void(PixelMask&)>& draw) {
  PixelMask mask(QRect(0, 0, 10, 10));
  draw(mask);
  Pixels covered;
  for (int y = -1; y <= 10; ++y)
    for (int x = -1; x <= 10; ++x)
      if (mask.Contains(x, y)) covered.insert({x, y});
  return covered;
}

TEST(PixelMaskTest, FiguresCoverExactlyTheirPixelsInsideTheClip) {
  // Lines stop one pixel short of their end, which the next segment draws.
  EXPECT_EQ(Covered([](PixelMask& m) { m.Line(1, 2, 5, 2, 1); }), (Pixels{{1, 2}, {2, 2}, {3, 2}, {4, 2}}));
  EXPECT_EQ(Covered([](PixelMask& m) { m.Line(4, 4, 1, 1, 1); }), (Pixels{{4, 4}, {3, 3}, {2, 2}}));
  EXPECT_EQ(Covered([](PixelMask& m) { m.Line(3, 3, 3, 3, 1); }), Pixels{});
  std::set<int> rows;  // a steep line covers one pixel per row
  for (const auto& [x, y] : Covered([](PixelMask& m) { m.Line(0, 0, 3, 9, 1); })) EXPECT_TRUE(rows.insert(y).second);
  EXPECT_EQ(rows, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(Covered([](PixelMask& m) { m.Stamp(5, 5, 3); }),
            (Pixels{{4, 4}, {5, 4}, {6, 4}, {4, 5}, {5, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}}));
  // The pen lies inside the corners: a 5 x 4 outline two pixels deep has no hole.
  EXPECT_EQ(Covered([](PixelMask& m) { m.RectangleOutline(2, 2, 6, 5, 2); }).size(), 20u);
  const Pixels outline = Covered([](PixelMask& m) { m.RectangleOutline(1, 1, 8, 8, 1); });
  EXPECT_EQ(outline.size(), 28u);
  EXPECT_TRUE(outline.contains({8, 8}) && !outline.contains({4, 4}) && !outline.contains({0, 0}));
  EXPECT_EQ(Covered([](PixelMask& m) { m.FilledRectangle(-5, 8, 100, 100); }).size(), 20u);
  EXPECT_TRUE(Covered([](PixelMask& m) { m.Line(-50, -50, 50, 50, 2); }).contains({0, 0}));
}

constexpr std::int32_t kRed = 0x0000FF;
constexpr std::int32_t kWhite = 0xFFFFFF;

class PictureBoxTest : public ::testing::Test {
 protected:
  PictureBoxTest() {
    picture.resize(40, 30);
    picture.SetBackColour(0x000000);
  }

  QApplication& application{TestApplication()};
  PictureBox picture;
};

TEST_F(PictureBoxTest, TheInsideExcludesTheBorderForSizesAndMouseEvents) {
  picture.setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture.setLineWidth(2);
  EXPECT_EQ(picture.ScaleWidth(), 36.0f);
  EXPECT_EQ(picture.ScaleHeight(), 26.0f);
  EXPECT_EQ(picture.Picture().size(), QSize(36, 26));
  QSignalSpy pressed(&picture, &PictureBox::MousePressed);
  QSignalSpy released(&picture, &PictureBox::MouseReleased);
  QTest::mousePress(&picture, Qt::RightButton, {}, QPoint(12, 7));
  QTest::mouseRelease(&picture, Qt::RightButton, {}, QPoint(12, 7));
  const QList<QVariantList> expected{{QVariant::fromValue(Qt::RightButton), QPointF(10, 5)}};
  EXPECT_EQ(pressed, expected);
  EXPECT_EQ(released, expected);
}

TEST_F(PictureBoxTest, ClearFillRectangleAndPixelsUsePackedColours) {
  picture.SetBackColour(0x102030);
  EXPECT_EQ(picture.Point(5, 5), 0x102030);
  EXPECT_EQ(picture.Picture().pixel(5, 5), qRgb(0x30, 0x20, 0x10));
  picture.FillRectangle(38, 28, 45, 35, kRed);
  EXPECT_EQ(picture.Point(39, 29), kRed);
  EXPECT_EQ(picture.Point(37, 29), 0x102030);
  picture.SetPixel(3, 4, 0x00FF00);
  EXPECT_EQ(picture.Point(3, 4), 0x00FF00);
  picture.DrawLineTo(7, 4, kWhite);
  EXPECT_EQ(picture.Point(6, 4), kWhite);
  EXPECT_EQ(picture.Point(7, 4), 0x102030) << "the end point is left for the next segment";
  EXPECT_EQ(picture.CurrentPoint(), QPointF(7, 4));
  picture.Clear();
  EXPECT_EQ(picture.Point(39, 29), 0x102030);
  EXPECT_EQ(picture.CurrentPoint(), QPointF(0, 0));
}

TEST_F(PictureBoxTest, InvertModeDrawnTwiceRestoresThePicture) {
  for (int x = 0; x < 40; ++x) picture.FillRectangle(x, 0, x, 29, x * 6);
  const QImage before = picture.Picture().copy();
  picture.SetDrawMode(PictureBox::DrawMode::Invert);
  picture.SetDrawWidth(2);
  picture.DrawLine(0, 0, 30, 20, kRed);
  picture.DrawRectangleOutline(5, 5, 15, 12, kRed);
  // A corner, covered by two sides, is inverted once.
  EXPECT_EQ(picture.Point(14, 11), 0xFFFFFF ^ (14 * 6));
  picture.DrawRectangleOutline(5, 5, 15, 12, kRed);
  picture.DrawLine(0, 0, 30, 20, kRed);
  EXPECT_EQ(picture.Picture(), before);
  picture.FillRectangle(30, 20, 35, 25, kRed);
  EXPECT_EQ(picture.Point(32, 22), 0xFFFFFF ^ (32 * 6));
  picture.FillRectangle(30, 20, 35, 25, kRed);
  EXPECT_EQ(picture.Picture(), before);
}

TEST_F(PictureBoxTest, ShapesInvertTheScreenButNeverThePersistentPicture) {
  picture.FillRectangle(0, 0, 39, 29, 0x404040);
  const QImage persistent = picture.Picture().copy();
  InvertedShape* line = picture.AddLineShape(2);
  InvertedShape* box = picture.AddRectangleShape(2);
  line->SetLine(0, 10, 39, 10);
  EXPECT_EQ(picture.ComposedPicture(), persistent) << "shapes start hidden";

  line->SetVisible(true);
  box->SetRectangle(5, 5, 10, 8);
  box->SetVisible(true);
  const QImage composed = picture.ComposedPicture();
  EXPECT_EQ(picture.Picture(), persistent);
  for (const QPoint inverted : {QPoint(20, 10), QPoint(39, 11), QPoint(5, 5), QPoint(14, 12)})
    EXPECT_EQ(composed.pixel(inverted), qRgb(0xBF, 0xBF, 0xBF)) << inverted.x() << ", " << inverted.y();
  EXPECT_EQ(composed.pixel(10, 8), qRgb(0x40, 0x40, 0x40)) << "the box has no fill";
  EXPECT_EQ(composed.pixel(5, 10), qRgb(0x40, 0x40, 0x40)) << "where line and box cross, the inversions cancel";
  EXPECT_EQ(picture.grab().toImage().convertToFormat(QImage::Format_RGB32), composed) << "the screen";

  line->SetVisible(false);
  box->SetVisible(false);
  EXPECT_EQ(picture.ComposedPicture(), persistent);
}

TEST_F(PictureBoxTest, ResizingAndCopyingKeepWhatFitsAndFillTheRestWithTheBackground) {
  picture.FillRectangle(0, 0, 39, 29, kRed);
  PictureBox target;
  target.resize(20, 40);
  target.SetBackColour(kWhite);
  target.FillRectangle(0, 0, 19, 39, 0x00FF00);
  picture.CopyPictureTo(target);
  EXPECT_EQ(target.Point(19, 29), kRed);
  EXPECT_EQ(target.Point(10, 35), kWhite);

  picture.resize(50, 20);
  EXPECT_EQ(picture.Point(39, 19), kRed);
  EXPECT_EQ(picture.Point(45, 10), 0x000000);
  EXPECT_EQ(picture.Point(10, 25), -1) << "outside the picture";
}

TEST_F(PictureBoxTest, SavePictureWritesTheBitmapOrReportsWhyNot) {
  for (int x = 0; x < 40; ++x) picture.FillRectangle(x, 0, x, 29, x * 0x010203);
  QTemporaryDir folder;
  const std::string path = folder.filePath("picture.bmp").toStdString();
  EXPECT_EQ(picture.SavePicture(path), std::nullopt);
  QImageReader reader(QString::fromStdString(path));
  EXPECT_EQ(reader.format(), "bmp");
  EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), picture.Picture());

  EXPECT_NE(picture.SavePicture(folder.filePath("missing/picture.bmp").toStdString()).value_or(""), "");
}

}  // namespace

namespace {

// The renderer's rows of blocks, painted and inverted: the scanline path must
// leave what one rectangle per block leaves.
TEST_F(PictureBoxTest, BlockRowsMatchOneRectanglePerBlockInBothModes) {
  struct Row {
    int top, bottom, step, extent, blocks;
  };
  const Row rows[] = {{5, 5, 1, 0, 41}, {0, 10, 10, 10, 5}, {25, 33, 7, 7, 6}, {3, 5, 2, 2, 21}, {-2, 0, 3, 3, 14}};
  for (const PictureBox::DrawMode mode : {PictureBox::DrawMode::Copy, PictureBox::DrawMode::Invert}) {
    for (const Row& row : rows) {
      std::vector<std::int32_t> colours;
      for (int i = 0; i < row.blocks; ++i) colours.push_back((0x2B4C6D * (i + 1)) & 0xFFFFFF);
      PictureBox rectangles;
      rectangles.resize(40, 30);
      for (PictureBox* box : {&picture, &rectangles}) {
        box->SetDrawMode(PictureBox::DrawMode::Copy);
        box->FillRectangle(0, 0, 39, 29, 0x336699);
        box->SetDrawMode(mode);
      }
      picture.FillBlockRow(row.top, row.bottom, row.step, row.extent, colours);
      rectangles.RenderSurface::FillBlockRow(row.top, row.bottom, row.step, row.extent, colours);
      EXPECT_EQ(picture.Picture(), rectangles.Picture())
          << (mode == PictureBox::DrawMode::Invert ? "inverted" : "painted") << " rows " << row.top << "-"
          << row.bottom;
    }
  }
}

}  // namespace
