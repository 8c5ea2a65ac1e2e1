#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace {

std::filesystem::path Path(const QTemporaryDir& dir, const char* name) {
  return std::filesystem::path(dir.path().toStdString()) / name;
}

TEST(ProgramFolderTest, AWritableExecutableFolderIsUsedAsItIs) {
  QTemporaryDir root;
  const auto executableFolder = Path(root, "bin");
  std::filesystem::create_directory(executableFolder);
  const auto dataFolder = Path(root, "data");
  EXPECT_EQ(ProgramFolder::Choose(executableFolder, dataFolder), executableFolder);
  EXPECT_FALSE(std::filesystem::exists(dataFolder)) << "the data folder is only made when it is used";
}

TEST(ProgramFolderTest, OtherwiseTheDataFolderIsCreatedAndUsed) {
  QTemporaryDir root;
  // A file where the folder should be, as unusable as a read-only folder.
  const auto notAFolder = Path(root, "quillory");
  std::ofstream(notAFolder) << "binary";
  const auto dataFolder = Path(root, "share/Quillory");
  EXPECT_EQ(ProgramFolder::Choose(notAFolder, dataFolder), dataFolder);
  EXPECT_TRUE(std::filesystem::is_directory(dataFolder));

  EXPECT_EQ(ProgramFolder::Choose(Path(root, "missing"), dataFolder), dataFolder);
}

TEST(ProgramFolderTest, AnInstalledCopyUsesTheDataFolderEvenWhenItsPrefixIsWritable) {
  QTemporaryDir prefix;
  const auto executableFolder = Path(prefix, "bin");
  std::filesystem::create_directories(executableFolder);
  std::filesystem::create_directories(Path(prefix, "share/quillory"));
  const auto dataFolder = Path(prefix, "home/.local/share/Quillory");
  EXPECT_EQ(ProgramFolder::Choose(executableFolder, dataFolder), dataFolder);
  EXPECT_TRUE(std::filesystem::is_directory(dataFolder));
}

}  // namespace
