#include "PictureView.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <map>

#include "PictureViewLoad.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"

namespace {

TEST(PictureViewTest, AViewSurvivesTheFileToTheBitAndLoadsAsABookmarkAndDamagedOnesGiveNone) {
  QTemporaryDir folder;
  QImage picture(8, 6, QImage::Format_RGB32);
  picture.fill(Qt::darkBlue);
  // A PNG whose text chunks are the given pairs, as another program or a damaged file might leave them.
  const auto writeTagged = [&](const QString& name, const std::map<QString, QString>& texts) {
    QImageWriter writer(folder.filePath(name), "PNG");
    for (const auto& [key, value] : texts) writer.setText(key, value);
    EXPECT_TRUE(writer.write(picture));
    return folder.filePath(name);
  };
  const ViewState view{5e-324, -1.7976931348623157e308, 2.2250738585072014e-308, 2147483647, 1, -0.0, 0.1 + 0.2};
  const std::string path = folder.filePath("extreme.png").toStdString();
  ASSERT_EQ(PictureView::SavePng(picture, path, &view), std::nullopt);
  EXPECT_EQ(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32), picture);
  const auto restored = PictureView::Read(QString::fromStdString(path));
  EXPECT_EQ(restored, std::optional(view));
  EXPECT_TRUE(restored && std::signbit(restored->juliaReal));

  ScriptedDialogs dialogs;
  RecordingBookmarkTarget mainWindow;
  EXPECT_FALSE(LoadViewFromPicture(mainWindow, dialogs)) << "cancelled";
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].text, "PNG Files (*.png)");
  const QString plain = writeTagged("plain.png", {});
  dialogs.AnswerOpenFile(plain.toStdString());
  EXPECT_FALSE(LoadViewFromPicture(mainWindow, dialogs));
  EXPECT_EQ(dialogs.Messages().back(), "The picture [" + plain.toStdString() + "] does not hold a Quillory view.");
  dialogs.AnswerOpenFile(path);
  EXPECT_TRUE(LoadViewFromPicture(mainWindow, dialogs));
  const Bookmark asBookmark{"", view.centerX, view.centerY, view.windowWidth, view.maxIterations, 1, -0.0,
                            0.1 + 0.2};
  EXPECT_EQ(mainWindow.shown, std::vector<Bookmark>{asBookmark});

  EXPECT_TRUE(PictureView::SavePng(picture, folder.filePath("no/such/folder/x.png").toStdString(), &view));

  // Pictures without a whole, sound view give none.
  const std::map<QString, QString> sound = {
      {"Quillory.CenterX", "-0.5"},      {"Quillory.CenterY", "0"},     {"Quillory.WindowWidth", "3"},
      {"Quillory.MaxIterations", "256"}, {"Quillory.FractalType", "0"}, {"Quillory.JuliaReal", "0"},
      {"Quillory.JuliaImaginary", "0"}};
  ASSERT_TRUE(PictureView::Read(writeTagged("sound.png", sound)));
  const std::pair<QString, QString> damages[] = {
      {"Quillory.WindowWidth", "0"}, {"Quillory.WindowWidth", "-2"},   {"Quillory.CenterX", "nan"},
      {"Quillory.CenterY", "inf"},   {"Quillory.CenterX", "1.5abc"},   {"Quillory.FractalType", "2"},
      {"Quillory.MaxIterations", "-1"}, {"Quillory.MaxIterations", "99999999999"}, {"Quillory.JuliaReal", ""}};
  for (const auto& [key, value] : damages) {
    auto texts = sound;
    texts[key] = value;
    EXPECT_FALSE(PictureView::Read(writeTagged("damaged.png", texts)))
        << key.toStdString() << " = " << value.toStdString();
  }
  auto missing = sound;
  missing.erase("Quillory.JuliaImaginary");
  EXPECT_FALSE(PictureView::Read(writeTagged("missing.png", missing)));
  EXPECT_FALSE(PictureView::Read(folder.filePath("absent.png")));
}

}  // namespace
