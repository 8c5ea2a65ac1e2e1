#include "SavePictureCommand.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "PictureBox.h"
#include "PictureView.h"
#include "ScriptedDialogs.h"
#include "ViewState.h"
#include "WidgetTesting.h"

namespace {

class SavePictureCommandTest : public ::testing::Test {
 protected:
  SavePictureCommandTest() {
    picture.resize(30, 20);
    for (int x = 0; x < 30; ++x) picture.FillRectangle(x, 0, x, 19, x * 0x080402);
  }

  // Saves with `path` answered to the file dialog (and `answer` to a question).
  void Save(const std::string& path, MessageAnswer answer = MessageAnswer::No) {
    dialogs.ClearHistory();
    dialogs.AnswerSaveFile(path);
    dialogs.AnswerMessage(answer);
    SavePictureCommand(picture, dialogs);
  }
  bool FileHoldsThePicture(const std::string& path) const {
    return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32) == picture.Picture();
  }

  QApplication& application{TestApplication()};
  PictureBox picture;
  ScriptedDialogs dialogs;
  QTemporaryDir folder;
};

TEST_F(SavePictureCommandTest, CancellingSavesNothingAndANewFileIsWrittenWithoutAQuestion) {
  SavePictureCommand(picture, dialogs);
  ASSERT_EQ(dialogs.History().size(), 2u);
  EXPECT_EQ(dialogs.History()[0].text, "Bitmap Files (*.bmp);;PNG Files (*.png)");
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "bmp");
  EXPECT_EQ(dialogs.History()[1].text, "The picture was not saved.");
  EXPECT_EQ(dialogs.History()[1].icon, MessageIcon::Stop);

  const std::string path = folder.filePath("new.bmp").toStdString();
  Save(path);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(FileHoldsThePicture(path));
}

TEST_F(SavePictureCommandTest, AnExistingFileIsOnlyReplacedOnYesAndAFailedWriteIsReported) {
  const std::string path = folder.filePath("old.bmp").toStdString();
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("keep me");
  file.close();
  const std::string question = "The file [" + path + "] already exists.  Would you like to overwrite?";
  Save(path, MessageAnswer::No);
  EXPECT_EQ(dialogs.Messages(), (std::vector<std::string>{question, "The picture was not saved."}));
  EXPECT_EQ(dialogs.History()[1].buttons, MessageButtons::YesNo);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "keep me");
  Save(path, MessageAnswer::Yes);
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{question});
  EXPECT_TRUE(FileHoldsThePicture(path));

  // The platform's reason follows the report.
  Save(folder.filePath("no/such/folder/picture.bmp").toStdString());
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  const std::string report = dialogs.Messages()[0];
  EXPECT_EQ(report.rfind("Unable to save file:\r\n", 0), 0u) << report;
  EXPECT_GT(report.size(), std::string("Unable to save file:\r\n").size());
}

TEST_F(SavePictureCommandTest, TheNameChoosesTheFormatAndAPngCarriesTheView) {
  ViewState view;
  view.centerX = -0.743643887037151;
  view.centerY = 0.1318259042053119 / 3;
  view.windowWidth = 1.0 / 3e9;
  view.maxIterations = 4096;
  view.fractalType = 1;
  view.juliaReal = -0.8;
  view.juliaImaginary = 0.156;
  const auto firstBytes = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
  };
  for (const char* name : {"shown.png", "SHOUTED.PNG"}) {
    const QString path = folder.filePath(name);
    dialogs.ClearHistory();
    dialogs.AnswerSaveFile(path.toStdString());
    SavePictureCommand(picture, dialogs, &view);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_EQ(firstBytes(path), QByteArray("\x89PNG"));
    EXPECT_TRUE(FileHoldsThePicture(path.toStdString()));
    const auto restored = PictureView::Read(path);
    ASSERT_TRUE(restored) << name;
    // To the bit, so the restored view draws the same picture.
    EXPECT_EQ(*restored, view);
  }
  // A bitmap stays a bitmap, even when the view is at hand, and keeps no view.
  const QString bitmap = folder.filePath("shown.bmp");
  dialogs.AnswerSaveFile(bitmap.toStdString());
  SavePictureCommand(picture, dialogs, &view);
  EXPECT_EQ(firstBytes(bitmap).left(2), QByteArray("BM"));
  EXPECT_FALSE(PictureView::Read(bitmap));
}

}  // namespace
