#include <gtest/gtest.h>

#include <set>

#include "BookmarkFolder.h"
#include "BookmarkStore.h"
#include "SqliteConnection.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(BookmarkFileTest, MissingFileIsCreatedWithTheShippedViews) {
  BookmarkFolder folder;
  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_TRUE(store.Ok()) << store.Error().message;
  EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"data.mdb"});

  auto all = store.Value().List();
  ASSERT_TRUE(all.Ok());
  const std::vector<Bookmark>& views = all.Value();
  ASSERT_GE(views.size(), 5u);
  std::set<std::int16_t> types;
  for (const Bookmark& view : views) {
    SCOPED_TRACE(view.name);
    types.insert(view.fractalType);
    EXPECT_GT(view.windowWidth, 0.0);
    EXPECT_GE(view.maxIterations, 1);
    // A Julia view without its constant would show the degenerate set of 0.
    EXPECT_EQ(view.fractalType == 1, view.x1 != 0.0 || view.y1 != 0.0);
  }
  EXPECT_EQ(types, (std::set<std::int16_t>{0, 1}));
}

TEST(BookmarkFileTest, AnExistingFileKeepsItsBookmarksAcrossOpens) {
  BookmarkFolder folder;
  BookmarkStore first = folder.OpenEmptyStore();
  ASSERT_EQ(first.Add(Bookmark{"Mine", 0.25, 0.0, 0.5, 100, 0}).status, BookmarkStore::AddStatus::Added);

  auto second = BookmarkStore::Open(folder.Path());
  ASSERT_TRUE(second.Ok());
  auto all = second.Value().List();
  ASSERT_TRUE(all.Ok());
  // Not re-seeded: the shipped views deleted earlier stay deleted.
  EXPECT_EQ(NamesOf(all.Value()), std::vector<std::string>{"Mine"});
}

TEST(BookmarkFileTest, AnEmptyFileIsFilledFromTheSeed) {
  BookmarkFolder folder;
  folder.WriteDataFile("");
  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_TRUE(store.Ok()) << store.Error().message;
  EXPECT_FALSE(store.Value().List().Value().empty());
}

struct UnusableFile {
  const char* label;
  std::string bytes;
  const char* reason;  // part of the message that says what is wrong
};

class UnusableFileTest : public testing::TestWithParam<UnusableFile> {};

TEST_P(UnusableFileTest, IsReportedAndLeftExactlyAsItWas) {
  BookmarkFolder folder;
  folder.WriteDataFile(GetParam().bytes);
  const std::string before = folder.ReadDataFile();

  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_FALSE(store.Ok());
  const std::string& message = store.Error().message;
  EXPECT_TRUE(StartsWith(message, "Unable to open the bookmark file:\r\n" + folder.DataFile().string() + "\r\n"))
      << message;
  EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
  EXPECT_NE(message.find("The file was left as it is."), std::string::npos) << message;
  EXPECT_EQ(folder.ReadDataFile(), before);
  EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"data.mdb"});
}

// A database page header followed by rubbish: the size fields are nonsense.
std::string CutOffDatabase() {
  std::string bytes("SQLite format 3", 16);
  bytes += std::string(84, '\x7f') + std::string(4000, 'x');
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableFileTest,
    testing::Values(UnusableFile{"Text", "These are my bookmarks, do not lose them\n", "not a database"},
                    UnusableFile{"Jet", std::string("\0\x01\0\0Standard Jet DB\0", 20) + std::string(2028, '\0'),
                                 "not a database"},
                    UnusableFile{"Cut", CutOffDatabase(), "not a database"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(BookmarkFileTest, ADatabaseCutShortIsReportedNotReseeded) {
  BookmarkFolder folder;
  {
    ASSERT_TRUE(BookmarkStore::Open(folder.Path()).Ok());
    auto connection = SqliteConnection::Open(folder.DataFile(), SqliteConnection::OpenMode::ExistingFile);
    ASSERT_TRUE(connection.Ok());
    ASSERT_FALSE(connection.Value().Execute(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
        "INSERT INTO tblBookmarks (name, centerX, centerY, windowWidth, maxIterations, fractalType) "
        "SELECT 'View ' || i, 0.0, 0.0, 1.0, 256, 0 FROM n"));
  }
  ASSERT_GT(folder.ReadDataFile().size(), 4u * 4096u);
  folder.WriteDataFile(folder.ReadDataFile().substr(0, 4096));
  const std::string before = folder.ReadDataFile();
  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_FALSE(store.Ok());
  EXPECT_NE(store.Error().message.find("The file was left as it is."), std::string::npos);
  EXPECT_EQ(folder.ReadDataFile(), before);
}

TEST(BookmarkFileTest, AnotherProgramsDatabaseIsLeftAlone) {
  BookmarkFolder folder;
  {
    auto other = SqliteConnection::Open(folder.DataFile(), SqliteConnection::OpenMode::CreateIfMissing);
    ASSERT_TRUE(other.Ok());
    ASSERT_FALSE(other.Value().Execute("CREATE TABLE tblBookmarks (name TEXT); INSERT INTO tblBookmarks VALUES ('x')"));
  }
  const std::string before = folder.ReadDataFile();
  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_FALSE(store.Ok());
  EXPECT_NE(store.Error().message.find("tblBookmarks is missing or incomplete"), std::string::npos);
  EXPECT_EQ(folder.ReadDataFile(), before);
}

TEST(BookmarkFileTest, AFolderInTheWayIsReportedNotReplaced) {
  BookmarkFolder folder;
  std::filesystem::create_directory(folder.DataFile());
  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_FALSE(store.Ok());
  EXPECT_NE(store.Error().message.find("It is not a file."), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder.DataFile()));
}

TEST(BookmarkFileTest, AMissingProgramFolderIsReportedAsACreateFailure) {
  BookmarkFolder folder;
  auto store = BookmarkStore::Open(folder.Path() / "not yet made");
  ASSERT_FALSE(store.Ok());
  EXPECT_TRUE(StartsWith(store.Error().message, "Unable to create the bookmark file:\r\n")) << store.Error().message;
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "not yet made"));
}

}  // namespace
