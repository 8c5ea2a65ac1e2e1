#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace {

TEST(ProgramFolderTest, TheExecutablesFolderIsUsedOnlyWhenWritableAndNotInstalled) {
  QTemporaryDir root;
  const std::filesystem::path base = root.path().toStdString();
  for (const char* folder : {"build", "prefix/bin", "prefix/share/quillory"})
    std::filesystem::create_directories(base / folder);
  std::ofstream(base / "file") << "binary";  // as unusable as a read-only folder
  EXPECT_EQ(ProgramFolder::Choose(base / "build", base / "unused"), base / "build");
  EXPECT_FALSE(std::filesystem::exists(base / "unused")) << "the data folder is only made when it is used";

  // An installed copy keeps its users apart even when its prefix is writable.
  for (const char* unusable : {"file", "missing", "prefix/bin"}) {
    const auto data = base / "data" / unusable / "Quillory";
    EXPECT_EQ(ProgramFolder::Choose(base / unusable, data), data) << unusable;
    EXPECT_TRUE(std::filesystem::is_directory(data)) << unusable;
  }
}

}  // namespace
