#include "SqliteConnection.h"

#include <gtest/gtest.h>

#include "BookmarkFolder.h"
#include "SqliteStatement.h"

namespace {

class SqliteConnectionTest : public testing::Test {
 protected:
  SqliteConnectionTest() {
    EXPECT_FALSE(connection.Execute("CREATE TABLE t (value INTEGER)"));
  }

  std::int64_t Rows() {
    auto count = SqliteStatement::Prepare(connection, "SELECT count(*) FROM t");
    EXPECT_TRUE(count.Ok());
    EXPECT_EQ(count.Value().Next(), SqliteStatement::Step::Row);
    return count.Value().Integer(0);
  }

  BookmarkFolder folder;
  SqliteConnection connection =
      SqliteConnection::Open(folder.Path() / "scratch.db", SqliteConnection::OpenMode::CreateIfMissing).Value();
};

TEST_F(SqliteConnectionTest, ATransactionKeepsAllOrNothing) {
  EXPECT_FALSE(connection.InTransaction([this]() { return connection.Execute("INSERT INTO t VALUES (1), (2)"); }));
  EXPECT_EQ(Rows(), 2);

  const auto error = connection.InTransaction([this]() -> std::optional<StoreError> {
    EXPECT_FALSE(connection.Execute("INSERT INTO t VALUES (3)"));
    return StoreError{"stopped halfway"};
  });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, "stopped halfway");
  EXPECT_EQ(Rows(), 2);

  // A failing statement inside the work undoes the statements before it too.
  EXPECT_TRUE(connection.InTransaction([this]() -> std::optional<StoreError> {
    EXPECT_FALSE(connection.Execute("INSERT INTO t VALUES (4)"));
    return connection.Execute("INSERT INTO missing VALUES (5)");
  }));
  EXPECT_EQ(Rows(), 2);
  // And the connection is usable again afterwards.
  EXPECT_FALSE(connection.InTransaction([this]() { return connection.Execute("INSERT INTO t VALUES (6)"); }));
  EXPECT_EQ(Rows(), 3);
}

}  // namespace
