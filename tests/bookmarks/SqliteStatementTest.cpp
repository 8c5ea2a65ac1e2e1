#include "SqliteStatement.h"

#include <gtest/gtest.h>

#include "BookmarkFolder.h"
#include "SqliteConnection.h"

namespace {

class SqliteStatementTest : public testing::Test {
 protected:
  SqliteStatementTest() {
    auto opened = SqliteConnection::Open(folder.Path() / "scratch.db", SqliteConnection::OpenMode::CreateIfMissing);
    EXPECT_TRUE(opened.Ok());
    connection.emplace(std::move(opened.Value()));
    EXPECT_FALSE(connection->Execute("CREATE TABLE t (name TEXT UNIQUE, value REAL)"));
  }
  SqliteStatement Insert() { return std::move(SqliteStatement::Prepare(*connection, "INSERT INTO t VALUES (?, ?)").Value()); }

  BookmarkFolder folder;
  std::optional<SqliteConnection> connection;
};

// The first failed bind is the one reported, and no later bind that works
// makes the statement run as if nothing had gone wrong.
TEST_F(SqliteStatementTest, AFailedBindIsKeptThroughLaterBindsAndReportedWithItsText) {
  SqliteStatement insert = Insert();
  insert.Bind(9, std::int64_t{1});
  insert.Bind(1, std::string_view("a"));
  insert.Bind(2, 0.5);
  EXPECT_EQ(insert.Next(), SqliteStatement::Step::Failed);
  EXPECT_NE(insert.ErrorCode(), 0);
  EXPECT_NE(insert.Error().message.find("range"), std::string::npos) << insert.Error().message;

  SqliteStatement rows = std::move(SqliteStatement::Prepare(*connection, "SELECT count(*) FROM t").Value());
  ASSERT_EQ(rows.Next(), SqliteStatement::Step::Row);
  EXPECT_EQ(rows.Integer(0), 0) << "nothing was inserted";
}

TEST_F(SqliteStatementTest, AFailedStepCarriesTheDatabasesDescription) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    SqliteStatement insert = Insert();
    insert.Bind(1, std::string_view("same"));
    insert.BindNull(2);
    EXPECT_EQ(insert.Next(), attempt == 0 ? SqliteStatement::Step::Done : SqliteStatement::Step::Failed);
    if (attempt == 1) EXPECT_NE(insert.Error().message.find("UNIQUE"), std::string::npos) << insert.Error().message;
  }
  SqliteStatement rows = std::move(SqliteStatement::Prepare(*connection, "SELECT name, value FROM t").Value());
  ASSERT_EQ(rows.Next(), SqliteStatement::Step::Row);
  EXPECT_EQ(rows.Text(0), "same");
  EXPECT_TRUE(rows.IsNull(1));
  EXPECT_EQ(rows.Text(1), "");
}

}  // namespace
