#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "StoreResult.h"

struct sqlite3;

// One open SQLite database file, closed when the object goes. Errors come back
// as SQLite's own description; the store words them for the user.
class SqliteConnection {
 public:
  enum class OpenMode { ExistingFile, CreateIfMissing };

  static StoreResult<SqliteConnection> Open(const std::filesystem::path& file, OpenMode mode);

  // Runs trusted SQL text that may hold several statements (the seed).
  std::optional<StoreError> Execute(std::string_view sql);
  // Runs `work` inside BEGIN IMMEDIATE ... COMMIT; a failure rolls everything
  // back, so a crash or an error never leaves half of the work in the file.
  std::optional<StoreError> InTransaction(const std::function<std::optional<StoreError>()>& work);

  std::string LastErrorText() const;
  int LastExtendedErrorCode() const;
  int ChangedRows() const;
  sqlite3* Handle() const { return database_.get(); }

 private:
  struct Closer {
    void operator()(sqlite3* database) const;
  };

  explicit SqliteConnection(std::unique_ptr<sqlite3, Closer> database) : database_(std::move(database)) {}

  std::unique_ptr<sqlite3, Closer> database_;
};
