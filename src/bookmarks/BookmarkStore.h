#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bookmark.h"
#include "SqliteConnection.h"
#include "StoreResult.h"

// The bookmark table tblBookmarks in the file data.mdb of the program folder.
// Names are unique and never blank; letter case does not tell two names apart
// (for ASCII letters), and the list is in that same case-blind name order.
// Every value reaches SQLite as a bound parameter, and every write is one
// transaction.
class BookmarkStore {
 public:
  enum class AddStatus { Added, BlankName, NameInUse, Failed };

  struct AddResult {
    AddStatus status;
    StoreError error;  // set when status is Failed
  };

  static std::filesystem::path FilePath(const std::filesystem::path& programFolder);

  // A missing file (or an empty database) is created from the seed. A file
  // that is damaged, not a database, or some other program's database is
  // reported and left exactly as it is.
  static StoreResult<BookmarkStore> Open(const std::filesystem::path& programFolder);

  // Every bookmark, ascending by name.
  StoreResult<std::vector<Bookmark>> List();
  // The bookmark of that name, or none.
  StoreResult<std::optional<Bookmark>> Find(std::string_view name);
  // Stores the bookmark as given; x1 and y1 are written only for a Julia set.
  AddResult Add(const Bookmark& bookmark);
  // Removes the bookmark of that name; a name no longer stored is no failure.
  std::optional<StoreError> Delete(std::string_view name);

 private:
  explicit BookmarkStore(SqliteConnection connection) : connection_(std::move(connection)) {}

  SqliteConnection connection_;
};
