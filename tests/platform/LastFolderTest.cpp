#include "LastFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class LastFolderTest : public ::testing::Test {
 protected:
  LastFolderTest() { QStandardPaths::setTestModeEnabled(true); }
  ~LastFolderTest() override { QStandardPaths::setTestModeEnabled(false); }

  QTemporaryDir temporary;
  QString settingsPath = temporary.filePath("settings/Quillory.conf");
};

TEST_F(LastFolderTest, EachKindRemembersItsOwnFolderUntilTheFolderIsGone) {
  const QString pictures = temporary.filePath("pictures");
  const QString songs = temporary.filePath("songs");
  ASSERT_TRUE(QDir().mkpath(pictures));
  ASSERT_TRUE(QDir().mkpath(songs));
  {
    LastFolder folders(settingsPath);
    const QString firstPictures = folders.StartFolder(LastFolder::Kind::Pictures);
    EXPECT_TRUE(QDir(firstPictures).exists());
    folders.Remember(LastFolder::Kind::Pictures, pictures + "/seahorse.png");
    folders.Remember(LastFolder::Kind::Music, songs + "/orbit.mid");
    folders.Remember(LastFolder::Kind::Music, QString());
  }
  // Kept in the settings file, so a new visit still knows.
  LastFolder later(settingsPath);
  EXPECT_EQ(later.StartFolder(LastFolder::Kind::Pictures), pictures);
  EXPECT_EQ(later.StartFolder(LastFolder::Kind::Music), songs);

  ASSERT_TRUE(QDir(songs).removeRecursively());
  const QString fallback = later.StartFolder(LastFolder::Kind::Music);
  EXPECT_NE(fallback, songs);
  EXPECT_TRUE(QDir(fallback).exists());
}

TEST_F(LastFolderTest, SongsGoToMusicAndTheUsersSettingsStayUntouchedInTests) {
  EXPECT_EQ(LastFolder::KindFor("mid"), LastFolder::Kind::Music);
  EXPECT_EQ(LastFolder::KindFor("bmp"), LastFolder::Kind::Pictures);
  EXPECT_EQ(LastFolder::KindFor("png"), LastFolder::Kind::Pictures);
  // In test mode the user's settings path lies in Qt's test folder.
  EXPECT_TRUE(LastFolder::UserSettingsPath().contains("qttest")) << LastFolder::UserSettingsPath().toStdString();
}

}  // namespace
