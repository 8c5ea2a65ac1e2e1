#include "BookmarkStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "BookmarkFolder.h"
#include "SqliteStatement.h"

namespace {

Bookmark Mandelbrot(std::string name, double centerX = -0.5, double centerY = 0.25) {
  return Bookmark{std::move(name), centerX, centerY, 0.125, 512, 0, 0.0, 0.0};
}

Bookmark Julia(std::string name, double x1, double y1) {
  return Bookmark{std::move(name), 0.0, 0.0, 3.2, 300, 1, x1, y1};
}

class BookmarkStoreTest : public testing::Test {
 protected:
  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();

  std::vector<std::string> ListedNames() {
    auto all = store.List();
    EXPECT_TRUE(all.Ok()) << all.Error().message;
    return all.Ok() ? NamesOf(all.Value()) : std::vector<std::string>{};
  }

  void ExpectAdded(const Bookmark& bookmark) {
    const auto result = store.Add(bookmark);
    EXPECT_EQ(result.status, BookmarkStore::AddStatus::Added) << bookmark.name << ": " << result.error.message;
  }

  // Reads a column as SQLite holds it, bypassing the store's own reading.
  bool ColumnIsEmpty(const std::string& name, const char* column) {
    auto connection = SqliteConnection::Open(folder.DataFile(), SqliteConnection::OpenMode::ExistingFile);
    EXPECT_TRUE(connection.Ok());
    auto query = SqliteStatement::Prepare(connection.Value(),
                                          std::string("SELECT ") + column + " FROM tblBookmarks WHERE name = ?1");
    EXPECT_TRUE(query.Ok());
    query.Value().Bind(1, name);
    EXPECT_EQ(query.Value().Next(), SqliteStatement::Step::Row);
    return query.Value().IsNull(0);
  }
};

// Texts that would break or rewrite a query built by pasting them into SQL,
// or that a LIKE match or a byte-wise comparison would get wrong.
class AwkwardNameTest : public BookmarkStoreTest, public testing::WithParamInterface<std::string> {};

TEST_P(AwkwardNameTest, NameIsStoredFoundListedAndDeletedAsPlainText) {
  const std::string name = GetParam();
  ExpectAdded(Mandelbrot("Neighbour"));
  ExpectAdded(Mandelbrot(name, -1.25, 0.0625));

  auto found = store.Find(name);
  ASSERT_TRUE(found.Ok()) << found.Error().message;
  ASSERT_TRUE(found.Value().has_value());
  EXPECT_EQ(*found.Value(), Mandelbrot(name, -1.25, 0.0625));
  EXPECT_EQ(ListedNames().size(), 2u);

  EXPECT_FALSE(store.Delete(name));
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"Neighbour"});
  EXPECT_FALSE(store.Find(name).Value().has_value());
}

INSTANTIATE_TEST_SUITE_P(Names, AwkwardNameTest,
                         testing::Values("O'Brien's Spiral", "''", "\"Quoted\" view", "100% zoom", "a_b%",
                                         "'; DROP TABLE tblBookmarks; --", "back\\slash", "Spirale à l'Éléphant",
                                         "螺旋 🌀", std::string("nul\0inside", 10)));

TEST_F(BookmarkStoreTest, NamesAreUniqueWhateverTheirAsciiCase) {
  ExpectAdded(Mandelbrot("Seahorse", -0.75));
  EXPECT_EQ(store.Add(Mandelbrot("Seahorse", 0.25)).status, BookmarkStore::AddStatus::NameInUse);
  EXPECT_EQ(store.Add(Mandelbrot("SEAHORSE", 0.25)).status, BookmarkStore::AddStatus::NameInUse);
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"Seahorse"});
  // The refused adds changed nothing, and the lookup is as case-blind as the check.
  auto found = store.Find("seahorse");
  ASSERT_TRUE(found.Ok() && found.Value().has_value());
  EXPECT_EQ(found.Value()->name, "Seahorse");
  EXPECT_EQ(found.Value()->centerX, -0.75);
}

TEST_F(BookmarkStoreTest, BlankNamesAreRefused) {
  for (const char* blank : {"", " ", "\t \r\n"})
    EXPECT_EQ(store.Add(Mandelbrot(blank)).status, BookmarkStore::AddStatus::BlankName) << '"' << blank << '"';
  EXPECT_TRUE(ListedNames().empty());
}

TEST_F(BookmarkStoreTest, ListIsInNameOrderWhateverTheOrderOfAdding) {
  for (const char* name : {"zebra", "Mango", "apple", "Banana", "banana split", "10 Spirals", "Äpfel"})
    ExpectAdded(Mandelbrot(name));
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"10 Spirals", "apple", "Banana", "banana split", "Mango",
                                                     "zebra", "Äpfel"}));
}

TEST_F(BookmarkStoreTest, MandelbrotRowsLeaveTheJuliaColumnsEmptyAndReadThemAsZero) {
  Bookmark mandelbrot = Mandelbrot("Mandelbrot");
  mandelbrot.x1 = 0.3;  // a stale constant in the caller's value is not stored
  mandelbrot.y1 = -0.4;
  ExpectAdded(mandelbrot);
  EXPECT_TRUE(ColumnIsEmpty("Mandelbrot", "x1"));
  EXPECT_TRUE(ColumnIsEmpty("Mandelbrot", "y1"));
  const auto found = store.Find("Mandelbrot").Value();
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->x1, 0.0);
  EXPECT_EQ(found->y1, 0.0);
}

TEST_F(BookmarkStoreTest, EveryColumnSurvivesAReopenBitForBit) {
  const double awkward = 0.1 + 0.2;  // not the literal 0.3
  const Bookmark julia = Julia("Julia", -0.7436438870371587, awkward);
  Bookmark deep{"Deep", -0.743643887037151, 0.13182590420533, 1.0e-13, 2147483647, 0, 0.0, 0.0};
  Bookmark tiny{"Tiny", std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::max(), 5e-324,
                1, 1, -1.0e300, 1.0 / 3.0};
  for (const Bookmark& bookmark : {julia, deep, tiny}) ExpectAdded(bookmark);

  auto reopened = BookmarkStore::Open(folder.Path());
  ASSERT_TRUE(reopened.Ok()) << reopened.Error().message;
  auto all = reopened.Value().List();
  ASSERT_TRUE(all.Ok());
  EXPECT_EQ(all.Value(), (std::vector<Bookmark>{deep, julia, tiny}));
}

TEST_F(BookmarkStoreTest, ViewsThatAreNotFiniteAreRefusedWithAReason) {
  Bookmark broken = Mandelbrot("Broken");
  broken.windowWidth = std::numeric_limits<double>::quiet_NaN();
  const auto result = store.Add(broken);
  EXPECT_EQ(result.status, BookmarkStore::AddStatus::Failed);
  EXPECT_EQ(result.error.message.rfind("Unable to save the bookmark:\r\n", 0), 0u) << result.error.message;
  EXPECT_EQ(store.Add(Julia("Infinite Julia", INFINITY, 0.0)).status, BookmarkStore::AddStatus::Failed);
  EXPECT_TRUE(ListedNames().empty());
}

TEST_F(BookmarkStoreTest, DeletingAnAbsentNameRemovesNothing) {
  ExpectAdded(Mandelbrot("Keep"));
  EXPECT_FALSE(store.Delete("Gone"));
  EXPECT_FALSE(store.Delete("%"));
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"Keep"});
}

TEST_F(BookmarkStoreTest, TwoOpenStoresSeeEachOthersWrites) {
  // The bookmarks dialog stays open while the main window adds through its own store.
  auto second = BookmarkStore::Open(folder.Path());
  ASSERT_TRUE(second.Ok());
  ExpectAdded(Mandelbrot("From the first"));
  EXPECT_EQ(second.Value().Add(Mandelbrot("from the FIRST")).status, BookmarkStore::AddStatus::NameInUse);
  EXPECT_EQ(second.Value().Add(Julia("From the second", 0.25, 0.5)).status, BookmarkStore::AddStatus::Added);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"From the first", "From the second"}));
}

}  // namespace
