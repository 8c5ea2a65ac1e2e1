#include "SavePictureCommand.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "WidgetTesting.h"

namespace {

class SavePictureCommandTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  SavePictureCommandTest() {
    TestApplication();
    picture.resize(30, 20);
    picture.SetBackColour(0);
    for (int x = 0; x < 30; ++x) picture.FillRectangle(x, 0, x, 19, x * 0x080402);
  }

  std::string PathOf(const char* name) const { return folder.filePath(name).toStdString(); }

  static QByteArray Contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  PictureBox picture;
  ScriptedDialogs dialogs;
  QTemporaryDir folder;
};

TEST_F(SavePictureCommandTest, CancellingTheDialogSavesNothing) {
  SavePictureCommand(picture, dialogs);
  ASSERT_EQ(dialogs.History().size(), 2u);
  EXPECT_EQ(dialogs.History()[0].kind, ScriptedDialogs::Kind::SaveFile);
  EXPECT_EQ(dialogs.History()[0].text, "Bitmap Files (*.bmp)");
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "bmp");
  EXPECT_EQ(dialogs.History()[1].text, "The picture was not saved.");
  EXPECT_EQ(dialogs.History()[1].icon, MessageIcon::Stop);
}

TEST_F(SavePictureCommandTest, ANewFileIsWrittenWithoutAQuestion) {
  const std::string path = PathOf("new.bmp");
  dialogs.AnswerSaveFile(path);
  SavePictureCommand(picture, dialogs);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32), picture.Picture());
}

TEST_F(SavePictureCommandTest, AnExistingFileIsOnlyReplacedOnYes) {
  const std::string path = PathOf("old.bmp");
  {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
  }
  const std::string question = "The file [" + path + "] already exists.  Would you like to overwrite?";

  dialogs.AnswerSaveFile(path);
  dialogs.AnswerMessage(MessageAnswer::No);
  SavePictureCommand(picture, dialogs);
  EXPECT_EQ(dialogs.Messages(), (std::vector<std::string>{question, "The picture was not saved."}));
  EXPECT_EQ(dialogs.History()[1].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs.History()[1].icon, MessageIcon::None);
  EXPECT_EQ(Contents(path), "keep me");

  dialogs.ClearHistory();
  dialogs.AnswerSaveFile(path);
  dialogs.AnswerMessage(MessageAnswer::Yes);
  SavePictureCommand(picture, dialogs);
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{question});
  EXPECT_EQ(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32), picture.Picture());
}

TEST_F(SavePictureCommandTest, AFailedWriteIsReportedWithThePlatformsReason) {
  dialogs.AnswerSaveFile(PathOf("no/such/folder/picture.bmp"));
  SavePictureCommand(picture, dialogs);
  const auto messages = dialogs.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Unable to save file:\r\n", 0), 0u) << messages[0];
  EXPECT_GT(messages[0].size(), std::string("Unable to save file:\r\n").size());
  EXPECT_EQ(dialogs.History()[1].icon, MessageIcon::None);
}

}  // namespace
