#include "BookmarkFile.h"

#include <string>
#include <system_error>

#include "BookmarkSeed.h"
#include "SqliteStatement.h"

namespace {

StoreError CannotOpen(const std::filesystem::path& file, const std::string& reason) {
  return StoreError{"Unable to open the bookmark file:\r\n" + file.string() + "\r\n" + reason +
                    "\r\nThe file was left as it is."};
}

StoreError CannotCreate(const std::filesystem::path& file, const std::string& reason) {
  return StoreError{"Unable to create the bookmark file:\r\n" + file.string() + "\r\n" + reason};
}

// A single-row query, run only to read; a damaged file fails here.
StoreResult<std::string> QueryText(SqliteConnection& connection, const char* sql) {
  auto statement = SqliteStatement::Prepare(connection, sql);
  if (!statement.Ok()) return statement.Error();
  const auto step = statement.Value().Next();
  if (step == SqliteStatement::Step::Failed) return statement.Value().Error();
  if (step == SqliteStatement::Step::Done) return std::string();
  return statement.Value().Text(0);
}

StoreResult<std::int64_t> CountTables(SqliteConnection& connection) {
  auto count = QueryText(connection, "SELECT count(*) FROM sqlite_master");
  if (!count.Ok()) return count.Error();
  return std::int64_t{std::stoll(count.Value())};
}

// Preparing a query over every column proves the table has them all.
bool HasBookmarkTable(SqliteConnection& connection) {
  return SqliteStatement::Prepare(connection,
                                  "SELECT name, centerX, centerY, windowWidth, maxIterations, fractalType, x1, y1 "
                                  "FROM tblBookmarks LIMIT 0")
      .Ok();
}

}  // namespace

StoreResult<SqliteConnection> BookmarkFile::Open(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) return Create(file);
  if (error) return CannotOpen(file, error.message());
  if (status.type() != std::filesystem::file_type::regular) return CannotOpen(file, "It is not a file.");
  return OpenExisting(file);
}

StoreResult<SqliteConnection> BookmarkFile::OpenExisting(const std::filesystem::path& file) {
  auto connection = SqliteConnection::Open(file, SqliteConnection::OpenMode::ExistingFile);
  if (!connection.Ok()) return CannotOpen(file, connection.Error().message);
  auto tables = CountTables(connection.Value());
  if (!tables.Ok()) return CannotOpen(file, tables.Error().message);
  // An empty database holds no bookmarks to lose: a file cut short while it
  // was first being created, or an empty file put there by hand.
  if (tables.Value() == 0) {
    if (auto seedError = SeedIfEmpty(connection.Value())) return CannotCreate(file, seedError->message);
    return connection;
  }
  auto check = QueryText(connection.Value(), "PRAGMA quick_check");
  if (!check.Ok()) return CannotOpen(file, check.Error().message);
  if (check.Value() != "ok") return CannotOpen(file, "The database is damaged (" + check.Value() + ").");
  if (!HasBookmarkTable(connection.Value()))
    return CannotOpen(file, "It is not a Quillory bookmark database: the table tblBookmarks is missing or incomplete.");
  return connection;
}

StoreResult<SqliteConnection> BookmarkFile::Create(const std::filesystem::path& file) {
  auto connection = SqliteConnection::Open(file, SqliteConnection::OpenMode::CreateIfMissing);
  if (!connection.Ok()) return CannotCreate(file, connection.Error().message);
  if (auto error = SeedIfEmpty(connection.Value())) return CannotCreate(file, error->message);
  return connection;
}

std::optional<StoreError> BookmarkFile::SeedIfEmpty(SqliteConnection& connection) {
  return connection.InTransaction([&connection]() -> std::optional<StoreError> {
    auto tables = CountTables(connection);
    if (!tables.Ok()) return tables.Error();
    if (tables.Value() != 0) return std::nullopt;
    return connection.Execute(BookmarkSeedSql());
  });
}
