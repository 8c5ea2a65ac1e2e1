#pragma once

#include <filesystem>

// Where the program keeps data.mdb and its temporary MIDI files: the
// executable's own folder when it is writable, so a build run from its build
// folder keeps its files there; otherwise, and always for an installed copy
// (one with share/quillory beside its bin folder), the user's data folder.
class ProgramFolder {
 public:
  // Needs a running QCoreApplication for the executable's location.
  static std::filesystem::path Locate();

  // The choice itself: `executableFolder` when it is a writable folder of a
  // copy that is not installed, otherwise `dataFolder`, created when missing. Creating it may fail; the
  // first file written there then reports the failure.
  static std::filesystem::path Choose(const std::filesystem::path& executableFolder,
                                      const std::filesystem::path& dataFolder);
};
