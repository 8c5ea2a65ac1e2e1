#include "LastFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

TEST(LastFolderTest, EachKindRemembersItsOwnFolderInTheSettingsUntilTheFolderIsGone) {
  QTemporaryDir temporary;
  const QString settings = temporary.filePath("settings/Quillory.conf");
  const QString pictures = temporary.filePath("pictures");
  const QString songs = temporary.filePath("songs");
  ASSERT_TRUE(QDir().mkpath(pictures) && QDir().mkpath(songs));
  {
    LastFolder folders(settings);
    EXPECT_TRUE(QDir(folders.StartFolder(LastFolder::Kind::Pictures)).exists());
    folders.Remember(LastFolder::KindFor("png"), pictures + "/seahorse.png");
    folders.Remember(LastFolder::KindFor("mid"), songs + "/orbit.mid");
    folders.Remember(LastFolder::Kind::Music, QString());
  }
  LastFolder later(settings);
  EXPECT_EQ(later.StartFolder(LastFolder::KindFor("bmp")), pictures);
  EXPECT_EQ(later.StartFolder(LastFolder::Kind::Music), songs);
  ASSERT_TRUE(QDir(songs).removeRecursively());
  EXPECT_NE(later.StartFolder(LastFolder::Kind::Music), songs);
  EXPECT_TRUE(QDir(later.StartFolder(LastFolder::Kind::Music)).exists());

  // In Qt's test mode the user's own settings are out of reach.
  QStandardPaths::setTestModeEnabled(true);
  EXPECT_TRUE(LastFolder::UserSettingsPath().contains("qttest")) << LastFolder::UserSettingsPath().toStdString();
  QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
