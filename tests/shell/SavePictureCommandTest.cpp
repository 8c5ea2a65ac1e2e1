#include "SavePictureCommand.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "FileSizeLimit.h"
#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "SmallDisk.h"
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
  EXPECT_EQ(dialogs.History()[0].text, "Bitmap Files (*.bmp)");
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
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"Unable to save file:\r\nNo such file or directory"});
}

// A disk that fills up during the save: the real cause is reported and the
// older picture survives whole, with nothing left beside it.
TEST_F(SavePictureCommandTest, AFullDiskKeepsTheOlderPicture) {
  const std::string path = folder.filePath("old.bmp").toStdString();
  ASSERT_EQ(picture.SavePicture(path), std::nullopt);
  const QByteArray older = [&] {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
  }();
  picture.resize(200, 100);
  {
    const FileSizeLimit limit(1024);
    Save(path, MessageAnswer::Yes);
  }
  ASSERT_EQ(dialogs.Messages().size(), 2u);
  EXPECT_EQ(dialogs.Messages()[1], "Unable to save file:\r\nFile too large");
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), older);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"old.bmp"});

  const SmallDisk disk(256);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
  const std::string onDisk = (disk.Path() / "old.bmp").string();
  ASSERT_EQ(picture.SavePicture(onDisk), std::nullopt);
  disk.FillLeaving(4096);
  picture.resize(300, 200);
  Save(onDisk, MessageAnswer::Yes);
  ASSERT_EQ(dialogs.Messages().size(), 2u);
  EXPECT_EQ(dialogs.Messages()[1], "Unable to save file:\r\nNo space left on device");
  EXPECT_EQ(QImage(QString::fromStdString(onDisk)).size(), QSize(200, 100));
}

}  // namespace
