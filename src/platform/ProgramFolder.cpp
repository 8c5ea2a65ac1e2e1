#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <system_error>

#include <unistd.h>

std::filesystem::path ProgramFolder::Choose(const std::filesystem::path& executableFolder,
                                            const std::filesystem::path& dataFolder) {
  std::error_code error;
  // An installed copy keeps every user's bookmarks apart, even when its
  // prefix happens to be writable (a root install, a private prefix).
  const bool installed = std::filesystem::is_directory(executableFolder / ".." / "share" / "quillory", error);
  if (!installed && std::filesystem::is_directory(executableFolder, error) &&
      access(executableFolder.c_str(), W_OK) == 0)
    return executableFolder;
  std::filesystem::create_directories(dataFolder, error);
  return dataFolder;
}

std::filesystem::path ProgramFolder::Locate() {
  const auto executableFolder = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
  const auto dataFolder =
      std::filesystem::path(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
  return Choose(executableFolder, dataFolder);
}
