#include "SqliteStatement.h"

#include <sqlite3.h>

void SqliteStatement::Finalizer::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

StoreResult<SqliteStatement> SqliteStatement::Prepare(SqliteConnection& connection, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  const int result =
      sqlite3_prepare_v2(connection.Handle(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
  std::unique_ptr<sqlite3_stmt, Finalizer> statement(raw);
  if (result != SQLITE_OK) return StoreError{connection.LastErrorText()};
  return SqliteStatement(connection, std::move(statement));
}

void SqliteStatement::NoteBind(int result) {
  if (result == SQLITE_OK || errorCode_ != 0) return;
  errorCode_ = result;
  errorText_ = connection_->LastErrorText();
}

void SqliteStatement::Bind(int index, std::string_view text) {
  // The length is passed, so a name holding a NUL character is kept whole.
  NoteBind(sqlite3_bind_text64(statement_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void SqliteStatement::Bind(int index, double value) { NoteBind(sqlite3_bind_double(statement_.get(), index, value)); }

void SqliteStatement::Bind(int index, std::int64_t value) {
  NoteBind(sqlite3_bind_int64(statement_.get(), index, value));
}

void SqliteStatement::BindNull(int index) { NoteBind(sqlite3_bind_null(statement_.get(), index)); }

SqliteStatement::Step SqliteStatement::Next() {
  if (errorCode_ != 0) return Step::Failed;
  const int result = sqlite3_step(statement_.get());
  if (result == SQLITE_ROW) return Step::Row;
  if (result == SQLITE_DONE) return Step::Done;
  errorCode_ = connection_->LastExtendedErrorCode();
  errorText_ = connection_->LastErrorText();
  return Step::Failed;
}

StoreError SqliteStatement::Error() const { return StoreError{errorText_}; }

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_.get(), column);
  const int length = sqlite3_column_bytes(statement_.get(), column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

double SqliteStatement::Real(int column) const { return sqlite3_column_double(statement_.get(), column); }

std::int64_t SqliteStatement::Integer(int column) const { return sqlite3_column_int64(statement_.get(), column); }
