#include "SqliteConnection.h"

#include <sqlite3.h>

namespace {

// Another instance of the program may be writing the same file for a moment;
// a file held longer is reported as locked rather than freezing the window.
constexpr int kBusyTimeoutMilliseconds = 250;

}  // namespace

void SqliteConnection::Closer::operator()(sqlite3* database) const { sqlite3_close_v2(database); }

StoreResult<SqliteConnection> SqliteConnection::Open(const std::filesystem::path& file, OpenMode mode) {
  int flags = SQLITE_OPEN_READWRITE;
  if (mode == OpenMode::CreateIfMissing) flags |= SQLITE_OPEN_CREATE;
  sqlite3* raw = nullptr;
  const int result = sqlite3_open_v2(file.string().c_str(), &raw, flags, nullptr);
  // SQLite hands back a handle even on failure; it carries the message and
  // must be closed all the same.
  std::unique_ptr<sqlite3, Closer> database(raw);
  if (result != SQLITE_OK) {
    std::string description = database ? sqlite3_errmsg(database.get()) : sqlite3_errstr(result);
    return StoreError{std::move(description)};
  }
  sqlite3_extended_result_codes(database.get(), 1);
  sqlite3_busy_timeout(database.get(), kBusyTimeoutMilliseconds);
  return SqliteConnection(std::move(database));
}

std::optional<StoreError> SqliteConnection::Execute(std::string_view sql) {
  const std::string text(sql);
  char* message = nullptr;
  if (sqlite3_exec(database_.get(), text.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return std::nullopt;
  StoreError error{message ? message : LastErrorText()};
  sqlite3_free(message);
  return error;
}

std::optional<StoreError> SqliteConnection::InTransaction(const std::function<std::optional<StoreError>()>& work) {
  // IMMEDIATE takes the write lock before the first read, so a check made
  // inside the work still holds when its write lands.
  if (auto error = Execute("BEGIN IMMEDIATE")) return error;
  std::optional<StoreError> error = work();
  if (!error) error = Execute("COMMIT");
  if (error && !sqlite3_get_autocommit(database_.get())) Execute("ROLLBACK");
  return error;
}

std::string SqliteConnection::LastErrorText() const { return sqlite3_errmsg(database_.get()); }

int SqliteConnection::LastExtendedErrorCode() const { return sqlite3_extended_errcode(database_.get()); }

int SqliteConnection::ChangedRows() const { return sqlite3_changes(database_.get()); }
