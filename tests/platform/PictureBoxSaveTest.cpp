#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "FileSizeLimit.h"
#include "PictureBox.h"
#include "SmallDisk.h"
#include "WidgetTesting.h"

namespace {

QByteArray Contents(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// "Save Picture..." writes through the viewport's save: a disk that fills up
// during it reports the real cause and keeps the older picture whole, with
// nothing left beside it.
TEST(PictureBoxSaveTest, AFullDiskKeepsTheOlderPictureAndNamesTheCause) {
  QApplication& application = TestApplication();
  (void)application;
  QTemporaryDir folder;
  PictureBox picture;
  picture.resize(30, 20);
  for (int x = 0; x < 30; ++x) picture.FillRectangle(x, 0, x, 19, x * 0x080402);

  const std::string path = folder.filePath("old.bmp").toStdString();
  ASSERT_EQ(picture.SavePicture(path), std::nullopt);
  const QByteArray older = Contents(path);
  ASSERT_FALSE(older.isEmpty());
  picture.resize(200, 100);
  {
    const FileSizeLimit limit(1024);
    EXPECT_EQ(picture.SavePicture(path), std::optional<std::string>("File too large"));
  }
  EXPECT_EQ(Contents(path), older);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"old.bmp"});
  EXPECT_EQ(picture.SavePicture(folder.filePath("no/such/folder/picture.bmp").toStdString()),
            std::optional<std::string>("No such file or directory"));

  const SmallDisk disk(256);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
  const std::string onDisk = (disk.Path() / "old.bmp").string();
  ASSERT_EQ(picture.SavePicture(onDisk), std::nullopt);
  disk.FillLeaving(4096);
  picture.resize(300, 200);
  EXPECT_EQ(picture.SavePicture(onDisk), std::optional<std::string>("No space left on device"));
  EXPECT_EQ(QImage(QString::fromStdString(onDisk)).size(), QSize(200, 100));
}

}  // namespace
