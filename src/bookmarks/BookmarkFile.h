#pragma once

#include <filesystem>

#include "SqliteConnection.h"
#include "StoreResult.h"

// Opening data.mdb safely: creating it from the seed when it is missing, and
// refusing, without writing a byte, a file that is not a usable bookmark
// database, so a damaged file can still be rescued by hand.
class BookmarkFile {
 public:
  static StoreResult<SqliteConnection> Open(const std::filesystem::path& file);

 private:
  static StoreResult<SqliteConnection> OpenExisting(const std::filesystem::path& file);
  static StoreResult<SqliteConnection> Create(const std::filesystem::path& file);
  // Writes the seed unless another process already did, in one transaction.
  static std::optional<StoreError> SeedIfEmpty(SqliteConnection& connection);
};
