#include "PictureBox.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "WidgetTesting.h"

namespace {

class PictureBoxTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  PictureBoxTest() {
    TestApplication();
    picture.resize(40, 30);
    picture.SetBackColour(0x000000);
  }

  PictureBox picture;
};

constexpr std::int32_t kRed = 0x0000FF;
constexpr std::int32_t kWhite = 0xFFFFFF;

TEST_F(PictureBoxTest, InsideSizeExcludesTheBorderAndFollowsResizes) {
  EXPECT_EQ(picture.ScaleWidth(), 40.0f);
  picture.setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture.setLineWidth(2);
  EXPECT_EQ(picture.ScaleWidth(), 36.0f);
  EXPECT_EQ(picture.ScaleHeight(), 26.0f);
  EXPECT_EQ(picture.Picture().size(), QSize(36, 26));
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
  EXPECT_EQ(picture.CurrentPoint(), QPointF(3, 4));
  picture.DrawLineTo(7, 4, kWhite);
  EXPECT_EQ(picture.Point(6, 4), kWhite);
  // The end point is left for the next segment.
  EXPECT_EQ(picture.Point(7, 4), 0x102030);
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
  EXPECT_NE(picture.Picture(), before);
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
  EXPECT_EQ(composed.pixel(20, 10), qRgb(0xBF, 0xBF, 0xBF));
  EXPECT_EQ(composed.pixel(39, 11), qRgb(0xBF, 0xBF, 0xBF));
  EXPECT_EQ(composed.pixel(5, 5), qRgb(0xBF, 0xBF, 0xBF));
  EXPECT_EQ(composed.pixel(14, 12), qRgb(0xBF, 0xBF, 0xBF));
  EXPECT_EQ(composed.pixel(10, 8), qRgb(0x40, 0x40, 0x40)) << "the box has no fill";
  // Where the line crosses the box's side the two inversions cancel.
  EXPECT_EQ(composed.pixel(5, 10), qRgb(0x40, 0x40, 0x40));

  line->SetVisible(false);
  box->SetVisible(false);
  EXPECT_EQ(picture.ComposedPicture(), persistent);
}

TEST_F(PictureBoxTest, TheScreenShowsThePictureWithItsShapes) {
  picture.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));
  picture.FillRectangle(0, 0, 19, 29, kRed);
  InvertedShape* line = picture.AddLineShape(1);
  line->SetLine(0, 3, 39, 3);
  line->SetVisible(true);
  const QImage screen = picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(screen, picture.ComposedPicture());
}

TEST_F(PictureBoxTest, AResizeKeepsWhatFitsAndFillsTheRestWithTheBackground) {
  picture.FillRectangle(0, 0, 39, 29, kRed);
  picture.resize(50, 20);
  EXPECT_EQ(picture.Point(39, 19), kRed);
  EXPECT_EQ(picture.Point(45, 10), 0x000000);
  EXPECT_EQ(picture.Point(10, 25), -1) << "outside the picture";
}

TEST_F(PictureBoxTest, CopyPictureReplacesTheTargetsPicture) {
  PictureBox target;
  target.resize(20, 40);
  target.SetBackColour(kWhite);
  target.FillRectangle(0, 0, 19, 39, 0x00FF00);
  picture.FillRectangle(0, 0, 39, 29, kRed);
  picture.CopyPictureTo(target);
  EXPECT_EQ(target.Point(19, 29), kRed);
  EXPECT_EQ(target.Point(10, 35), kWhite);
}

TEST_F(PictureBoxTest, SavePictureWritesTheBitmapOrReportsWhyNot) {
  for (int x = 0; x < 40; ++x) picture.FillRectangle(x, 0, x, 29, x * 0x010203);
  QTemporaryDir folder;
  const std::string path = folder.filePath("picture.bmp").toStdString();
  EXPECT_EQ(picture.SavePicture(path), std::nullopt);

  QImageReader reader(QString::fromStdString(path));
  EXPECT_EQ(reader.format(), "bmp");
  const QImage saved = reader.read().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(saved, picture.Picture());

  const auto failure = picture.SavePicture(folder.filePath("missing/picture.bmp").toStdString());
  ASSERT_TRUE(failure.has_value());
  EXPECT_FALSE(failure->empty());
}

TEST_F(PictureBoxTest, MouseEventsReportInsideCoordinates) {
  picture.setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture.setLineWidth(2);
  QSignalSpy pressed(&picture, &PictureBox::MousePressed);
  QSignalSpy released(&picture, &PictureBox::MouseReleased);
  QTest::mousePress(&picture, Qt::RightButton, {}, QPoint(12, 7));
  QTest::mouseRelease(&picture, Qt::RightButton, {}, QPoint(12, 7));
  ASSERT_EQ(pressed.count(), 1);
  EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(pressed[0][1].toPointF(), QPointF(10, 5));
  ASSERT_EQ(released.count(), 1);
  EXPECT_EQ(released[0][1].toPointF(), QPointF(10, 5));
}

}  // namespace
