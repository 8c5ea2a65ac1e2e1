#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "BookmarkStore.h"
#include "SongBytes.h"

// A program folder of its own for one test, removed with everything in it.
class BookmarkFolder {
 public:
  const std::filesystem::path& Path() const { return folder_.Path(); }
  std::filesystem::path DataFile() const { return Path() / "data.mdb"; }

  void WriteDataFile(const std::string& bytes) const;
  // Empty when there is no file of that name (nothing, or a folder).
  std::string ReadDataFile() const;

  // A store with no rows at all, for tests that need to know every row.
  BookmarkStore OpenEmptyStore() const;

 private:
  TemporaryFolder folder_;
};

std::vector<std::string> NamesOf(const std::vector<Bookmark>& bookmarks);
