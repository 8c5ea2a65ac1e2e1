#include "BookmarkStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <sqlite3.h>

#include "BookmarkFile.h"
#include "SqliteStatement.h"

namespace {

// Another program may have stored a name as a number or a blob; the list
// shows it as text, so it is looked up and deleted as text too.
constexpr const char* kNameIs = "WHERE CAST(name AS TEXT) = ?1 COLLATE NOCASE";

constexpr const char* kSelectColumns =
    "SELECT name, centerX, centerY, windowWidth, maxIterations, fractalType, x1, y1 FROM tblBookmarks ";

bool IsBlank(std::string_view name) {
  return name.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

bool IsFiniteView(const Bookmark& bookmark) {
  const bool juliaFinite = bookmark.fractalType != 1 || (std::isfinite(bookmark.x1) && std::isfinite(bookmark.y1));
  return std::isfinite(bookmark.centerX) && std::isfinite(bookmark.centerY) && std::isfinite(bookmark.windowWidth) &&
         juliaFinite;
}

template <typename Integer>
Integer Clamped(std::int64_t value) {
  return static_cast<Integer>(std::clamp<std::int64_t>(value, std::numeric_limits<Integer>::min(),
                                                       std::numeric_limits<Integer>::max()));
}

Bookmark ReadRow(const SqliteStatement& row) {
  Bookmark bookmark;
  bookmark.name = row.Text(0);
  bookmark.centerX = row.Real(1);
  bookmark.centerY = row.Real(2);
  bookmark.windowWidth = row.Real(3);
  bookmark.maxIterations = Clamped<std::int32_t>(row.Integer(4));
  bookmark.fractalType = Clamped<std::int16_t>(row.Integer(5));
  // Empty for Mandelbrot rows; SQLite reads NULL as 0.
  bookmark.x1 = row.Real(6);
  bookmark.y1 = row.Real(7);
  return bookmark;
}

StoreError CannotRead(const StoreError& cause) { return StoreError{"Unable to read the bookmarks:\r\n" + cause.message}; }

StoreError CannotSave(const StoreError& cause) {
  return StoreError{"Unable to save the bookmark:\r\n" + cause.message};
}

bool IsUniqueViolation(int code) {
  return code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY;
}

}  // namespace

std::filesystem::path BookmarkStore::FilePath(const std::filesystem::path& programFolder) {
  return programFolder / "data.mdb";
}

StoreResult<BookmarkStore> BookmarkStore::Open(const std::filesystem::path& programFolder) {
  auto connection = BookmarkFile::Open(FilePath(programFolder));
  if (!connection.Ok()) return connection.Error();
  return BookmarkStore(std::move(connection.Value()));
}

StoreResult<std::vector<Bookmark>> BookmarkStore::List() {
  auto statement = SqliteStatement::Prepare(connection_, std::string(kSelectColumns) + "ORDER BY name ASC");
  if (!statement.Ok()) return CannotRead(statement.Error());
  std::vector<Bookmark> bookmarks;
  for (;;) {
    const auto step = statement.Value().Next();
    if (step == SqliteStatement::Step::Done) return bookmarks;
    if (step == SqliteStatement::Step::Failed) return CannotRead(statement.Value().Error());
    bookmarks.push_back(ReadRow(statement.Value()));
  }
}

StoreResult<std::optional<Bookmark>> BookmarkStore::Find(std::string_view name) {
  auto statement = SqliteStatement::Prepare(connection_, std::string(kSelectColumns) + kNameIs);
  if (!statement.Ok()) return CannotRead(statement.Error());
  statement.Value().Bind(1, name);
  switch (statement.Value().Next()) {
    case SqliteStatement::Step::Row: {
      const Bookmark bookmark = ReadRow(statement.Value());
      // A row edited by hand or by another program may hold a width that no
      // view can have; applying it would show an empty, endless plane.
      if (!(bookmark.windowWidth > 0) || !IsFiniteView(bookmark))
        return CannotRead(StoreError{"The bookmark [" + bookmark.name +
                                     "] holds a view that cannot be shown: its width must be a positive number."});
      return std::optional<Bookmark>(bookmark);
    }
    case SqliteStatement::Step::Done:
      return std::optional<Bookmark>();
    case SqliteStatement::Step::Failed:
      break;
  }
  return CannotRead(statement.Value().Error());
}

BookmarkStore::AddResult BookmarkStore::Add(const Bookmark& bookmark) {
  if (IsBlank(bookmark.name)) return {AddStatus::BlankName, {}};
  // SQLite would quietly store a NaN as an empty value.
  if (!IsFiniteView(bookmark))
    return {AddStatus::Failed, CannotSave(StoreError{"The view's coordinates are not finite numbers."})};

  bool nameInUse = false;
  auto error = connection_.InTransaction([&]() -> std::optional<StoreError> {
    auto statement = SqliteStatement::Prepare(
        connection_,
        "INSERT INTO tblBookmarks (name, centerX, centerY, windowWidth, maxIterations, fractalType, x1, y1) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    if (!statement.Ok()) return statement.Error();
    SqliteStatement& insert = statement.Value();
    insert.Bind(1, bookmark.name);
    insert.Bind(2, bookmark.centerX);
    insert.Bind(3, bookmark.centerY);
    insert.Bind(4, bookmark.windowWidth);
    insert.Bind(5, std::int64_t{bookmark.maxIterations});
    insert.Bind(6, std::int64_t{bookmark.fractalType});
    if (bookmark.fractalType == 1) {
      insert.Bind(7, bookmark.x1);
      insert.Bind(8, bookmark.y1);
    } else {
      insert.BindNull(7);
      insert.BindNull(8);
    }
    if (insert.Next() != SqliteStatement::Step::Failed) return std::nullopt;
    nameInUse = IsUniqueViolation(insert.ErrorCode());
    return insert.Error();
  });
  if (nameInUse) return {AddStatus::NameInUse, {}};
  if (error) return {AddStatus::Failed, CannotSave(*error)};
  return {AddStatus::Added, {}};
}

std::optional<StoreError> BookmarkStore::Delete(std::string_view name) {
  auto error = connection_.InTransaction([&]() -> std::optional<StoreError> {
    auto statement = SqliteStatement::Prepare(connection_, std::string("DELETE FROM tblBookmarks ") + kNameIs);
    if (!statement.Ok()) return statement.Error();
    statement.Value().Bind(1, name);
    if (statement.Value().Next() == SqliteStatement::Step::Failed) return statement.Value().Error();
    return std::nullopt;
  });
  if (error) return StoreError{"Unable to delete the bookmark:\r\n" + error->message};
  return std::nullopt;
}
