#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "BookmarkStore.h"
#include "SongBytes.h"
#include "SqliteConnection.h"

// A program folder of its own for one test, removed with everything in it.
class BookmarkFolder : public TemporaryFolder {
 public:
  std::filesystem::path DataFile() const { return Path() / "data.mdb"; }

  void WriteDataFile(const std::string& bytes) const { std::ofstream(DataFile(), std::ios::binary) << bytes; }
  // Empty when there is no file of that name (nothing, or a folder).
  std::string ReadDataFile() const {
    if (!std::filesystem::is_regular_file(DataFile())) return {};
    std::ifstream in(DataFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // The data file as another program opens it, beside the program's store.
  SqliteConnection Connect() const {
    return SqliteConnection::Open(DataFile(), SqliteConnection::OpenMode::CreateIfMissing).Value();
  }

  // A store with no rows at all, for tests that need to know every row. One
  // statement rather than a delete per shipped view keeps the tests quick.
  BookmarkStore OpenEmptyStore() const {
    auto store = BookmarkStore::Open(Path());
    if (!store.Ok() || Connect().Execute("DELETE FROM tblBookmarks"))
      throw std::runtime_error("No empty bookmark store could be made in " + Path().string());
    return std::move(store.Value());
  }
};
