#include "PictureBox.h"

#include <gtest/gtest.h>

#include <QDir>

#include "FileSizeLimit.h"
#include "InvertedShape.h"
#include "SongBytes.h"

namespace {

constexpr std::int32_t kRed = 0x0000FF;

// A 40 x 30 picture whose every column has a colour of its own, so a pixel
// drawn in the wrong place or inverted twice shows.
class PictureBoxTest : public ::testing::Test {
 protected:
  PictureBoxTest() { Paint(picture); }
  static void Paint(PictureBox& box) {
    box.resize(40, 30);
    box.SetDrawMode(PictureBox::DrawMode::Copy);
    for (int x = 0; x < 40; ++x) box.FillRectangle(x, 0, x, 29, x * 0x060504);
  }

  PictureBox picture;
};

// Inverted figures drawn twice restore the picture, so each must cover every
// pixel once; shapes invert only what the screen shows.
TEST_F(PictureBoxTest, InvertedFiguresCoverEachPixelOnceAndShapesInvertOnlyTheScreen) {
  const QImage before = picture.Picture().copy();
  picture.SetDrawMode(PictureBox::DrawMode::Invert);
  picture.SetDrawWidth(2);
  picture.DrawLine(0, 0, 30, 20, kRed);
  picture.DrawRectangleOutline(5, 5, 15, 12, kRed);
  picture.FillRectangle(30, 20, 35, 25, kRed);
  // A corner, covered by two sides, is inverted once.
  EXPECT_EQ(picture.Point(14, 11), 0xFFFFFF ^ (14 * 0x060504));
  EXPECT_EQ(picture.Point(32, 22), 0xFFFFFF ^ (32 * 0x060504));
  EXPECT_EQ(picture.Point(8, 9), 8 * 0x060504) << "an outline has no fill";
  picture.FillRectangle(30, 20, 35, 25, kRed);
  picture.DrawRectangleOutline(5, 5, 15, 12, kRed);
  picture.DrawLine(0, 0, 30, 20, kRed);
  EXPECT_EQ(picture.Picture(), before);

  InvertedShape* line = picture.AddLineShape(2);
  InvertedShape* box = picture.AddRectangleShape(2);
  line->SetLine(0, 10, 39, 10);
  box->SetRectangle(5, 5, 10, 8);
  line->SetVisible(true);
  box->SetVisible(true);
  const QImage composed = picture.ComposedPicture();
  EXPECT_EQ(picture.Picture(), before);
  for (const QPoint at : {QPoint(20, 10), QPoint(39, 11), QPoint(5, 5), QPoint(14, 12)})
    EXPECT_EQ(composed.pixel(at), before.pixel(at) ^ 0x00FFFFFF) << at.x() << ", " << at.y();
  EXPECT_EQ(composed.pixel(5, 10), before.pixel(5, 10)) << "where line and box cross, the inversions cancel";
  EXPECT_EQ(picture.grab().toImage().convertToFormat(QImage::Format_RGB32), composed) << "the screen";
}

// The renderer's rows of blocks, painted and inverted: the scanline path must
// leave what one rectangle per block leaves.
TEST_F(PictureBoxTest, BlockRowsMatchOneRectanglePerBlockInBothModes) {
  struct Row {
    int top, bottom, step, extent, blocks;
  };
  const Row rows[] = {{5, 5, 1, 0, 41}, {0, 10, 10, 10, 5}, {25, 33, 7, 7, 6}, {3, 5, 2, 2, 21}, {-2, 0, 3, 3, 14}};
  PictureBox rectangles;
  for (const PictureBox::DrawMode mode : {PictureBox::DrawMode::Copy, PictureBox::DrawMode::Invert}) {
    for (const Row& row : rows) {
      std::vector<std::int32_t> colours;
      for (int i = 0; i < row.blocks; ++i) colours.push_back((0x2B4C6D * (i + 1)) & 0xFFFFFF);
      for (PictureBox* box : {&picture, &rectangles}) {
        Paint(*box);
        box->SetDrawMode(mode);
      }
      picture.FillBlockRow(row.top, row.bottom, row.step, row.extent, colours);
      rectangles.RenderSurface::FillBlockRow(row.top, row.bottom, row.step, row.extent, colours);
      EXPECT_EQ(picture.Picture(), rectangles.Picture()) << static_cast<int>(mode) << ": rows " << row.top;
    }
  }
}

// "Save Picture..." writes through here: a save that fails, as on a disk that
// fills up during it, names the real cause and keeps the older picture whole,
// with nothing left beside it. A real full disk is the file writer's tests'.
TEST_F(PictureBoxTest, SavesTheBitmapAndAFailedSaveKeepsTheOlderOneAndNamesTheCause) {
  const TemporaryFolder folder;
  const std::string path = folder.File("old.bmp");
  ASSERT_EQ(picture.SavePicture(path), std::nullopt);
  EXPECT_EQ(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32), picture.Picture());
  const auto older = ReadBytes(path);
  picture.resize(200, 100);
  {
    const FileSizeLimit limit(1024);
    EXPECT_EQ(picture.SavePicture(path), std::optional<std::string>("File too large"));
  }
  EXPECT_EQ(ReadBytes(path), older);
  const QDir left(QString::fromStdString(folder.Path()));
  EXPECT_EQ(left.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"old.bmp"});
}

}  // namespace
