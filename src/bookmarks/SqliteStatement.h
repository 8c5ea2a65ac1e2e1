#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "SqliteConnection.h"
#include "StoreResult.h"

struct sqlite3_stmt;

// A prepared statement whose values are bound, never spliced into the SQL
// text, so any name (apostrophes, quotes, percent signs) is just data.
class SqliteStatement {
 public:
  enum class Step { Row, Done, Failed };

  static StoreResult<SqliteStatement> Prepare(SqliteConnection& connection, std::string_view sql);

  // Parameters count from 1. A failed bind makes the next Next() fail.
  void Bind(int index, std::string_view text);
  void Bind(int index, double value);
  void Bind(int index, std::int64_t value);
  void BindNull(int index);

  Step Next();
  // The reason for the last Failed step.
  StoreError Error() const;
  // The extended SQLite result code of the last Failed step.
  int ErrorCode() const { return errorCode_; }

  // Columns count from 0.
  bool IsNull(int column) const;
  std::string Text(int column) const;
  double Real(int column) const;
  std::int64_t Integer(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const;
  };

  SqliteStatement(SqliteConnection& connection, std::unique_ptr<sqlite3_stmt, Finalizer> statement)
      : connection_(&connection), statement_(std::move(statement)) {}
  void NoteBind(int result);

  SqliteConnection* connection_;
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
  int errorCode_ = 0;
  std::string errorText_;
};
