#include "PictureView.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include "WidgetTesting.h"

namespace {

class PictureViewTest : public ::testing::Test {
 protected:
  PictureViewTest() : picture(8, 6, QImage::Format_RGB32) { picture.fill(Qt::darkBlue); }

  // A PNG whose text chunks are the given pairs, as another program or a
  // damaged file might leave them.
  QString WriteTagged(const QString& name, const std::vector<std::pair<QString, QString>>& texts) {
    const QString path = folder.filePath(name);
    QImageWriter writer(path, "PNG");
    for (const auto& [key, value] : texts) writer.setText(key, value);
    EXPECT_TRUE(writer.write(picture));
    return path;
  }

  QApplication& application{TestApplication()};
  QTemporaryDir folder;
  QImage picture;
};

TEST_F(PictureViewTest, ExtremeNumbersSurviveTheFileToTheBit) {
  ViewState view;
  view.centerX = 5e-324;
  view.centerY = -1.7976931348623157e308;
  view.windowWidth = 2.2250738585072014e-308;
  view.maxIterations = 2147483647;
  view.fractalType = 0;
  view.juliaReal = -0.0;
  view.juliaImaginary = 0.1 + 0.2;
  const std::string path = folder.filePath("extreme.png").toStdString();
  ASSERT_FALSE(PictureView::SavePng(picture, path, &view));
  const auto restored = PictureView::Read(QString::fromStdString(path));
  ASSERT_TRUE(restored);
  EXPECT_EQ(*restored, view);
  EXPECT_TRUE(std::signbit(restored->juliaReal));
  EXPECT_EQ(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(PictureViewTest, PicturesWithoutAWholeSoundViewGiveNone) {
  const std::vector<std::pair<QString, QString>> sound = {
      {"Quillory.CenterX", "-0.5"},       {"Quillory.CenterY", "0"},         {"Quillory.WindowWidth", "3"},
      {"Quillory.MaxIterations", "256"}, {"Quillory.FractalType", "0"},     {"Quillory.JuliaReal", "0"},
      {"Quillory.JuliaImaginary", "0"}};
  ASSERT_TRUE(PictureView::Read(WriteTagged("sound.png", sound)));

  struct Damage {
    const char* key;
    const char* value;
  };
  const Damage damages[] = {{"Quillory.WindowWidth", "0"},     {"Quillory.WindowWidth", "-2"},
                            {"Quillory.CenterX", "nan"},        {"Quillory.CenterY", "inf"},
                            {"Quillory.CenterX", "1.5abc"},     {"Quillory.FractalType", "2"},
                            {"Quillory.MaxIterations", "-1"},  {"Quillory.MaxIterations", "99999999999"},
                            {"Quillory.JuliaReal", ""}};
  int index = 0;
  for (const Damage& damage : damages) {
    auto texts = sound;
    for (auto& [key, value] : texts)
      if (key == damage.key) value = damage.value;
    EXPECT_FALSE(PictureView::Read(WriteTagged(QString("damaged%1.png").arg(index++), texts)))
        << damage.key << " = " << damage.value;
  }
  auto missing = sound;
  missing.pop_back();
  EXPECT_FALSE(PictureView::Read(WriteTagged("missing.png", missing)));
  EXPECT_FALSE(PictureView::Read(WriteTagged("plain.png", {})));

  QFile notAPicture(folder.filePath("notes.png"));
  ASSERT_TRUE(notAPicture.open(QIODevice::WriteOnly));
  notAPicture.write("Quillory.CenterX=1");
  notAPicture.close();
  EXPECT_FALSE(PictureView::Read(notAPicture.fileName()));
  EXPECT_FALSE(PictureView::Read(folder.filePath("absent.png")));
}

TEST_F(PictureViewTest, AFailedWriteLeavesNoFileAndSaysWhy) {
  ViewState view;
  const auto failure = PictureView::SavePng(picture, folder.filePath("no/such/folder/x.png").toStdString(), &view);
  ASSERT_TRUE(failure);
  EXPECT_FALSE(failure->empty());
}

}  // namespace
