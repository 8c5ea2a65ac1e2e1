#include "BookmarkStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>

#include "AddBookmark.h"
#include "BookmarkFolder.h"
#include "BookmarkView.h"
#include "MemorySurface.h"
#include "ScriptedDialogs.h"
#include "SqliteStatement.h"

namespace {

using Status = BookmarkStore::AddStatus;
using Names = std::vector<std::string>;
using namespace std::literals;
using Limits = std::numeric_limits<double>;

Bookmark View(std::string name, double centerX = -0.5, std::int16_t type = 0, double x1 = 0, double y1 = 0) {
  return Bookmark{std::move(name), centerX, 0.25, 0.125, 512, type, x1, y1};
}

SqliteConnection Connect(const BookmarkFolder& folder) {
  return SqliteConnection::Open(folder.DataFile(), SqliteConnection::OpenMode::CreateIfMissing).Value();
}

// An empty store, and a renderer whose view the main window's "Add" stores.
class BookmarkStoreTest : public testing::Test {
 protected:
  BookmarkStoreTest() { renderer.Initialize(surface); }
  Names Listed() {
    Names names;
    for (const Bookmark& bookmark : store.List().Value()) names.push_back(bookmark.name);
    return names;
  }

  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();
  MemorySurface surface{40, 30};
  FractalRenderer renderer;
  ScriptedDialogs dialogs;
};

TEST_F(BookmarkStoreTest, NamesAreStoredAsPlainTextAndRefusedAddsChangeNothing) {
  ASSERT_EQ(store.Add(View("Seahorse", -0.75)).status, Status::Added);
  // Texts that would break or rewrite a query built by pasting them into SQL,
  // or that a LIKE match or a byte-wise comparison would get wrong; then the
  // adds that are refused.
  const std::pair<Bookmark, Status> adds[] = {
      {View("O'Brien's \"Spiral\""), Status::Added}, {View("'; DROP TABLE tblBookmarks; --"), Status::Added},
      {View("a_b%"), Status::Added}, {View("Spirale à l'Éléphant 🌀"), Status::Added},
      {View("nul\0in"s), Status::Added}, {View("\t \r\n"), Status::BlankName},
      {View("SEAHORSE", 0.25), Status::NameInUse}, {View("Not a number", Limits::quiet_NaN()), Status::Failed},
      {View("Infinite Julia", 0.0, 1, Limits::infinity()), Status::Failed}};
  for (const auto& [bookmark, status] : adds) {
    SCOPED_TRACE(bookmark.name);
    const auto result = store.Add(bookmark);
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.error.message.starts_with("Unable to save the bookmark:\r\n"), status == Status::Failed);
    if (status != Status::Added) continue;
    EXPECT_FALSE(store.Delete("%"));  // absent: removes nothing, and is no failure
    EXPECT_EQ(store.Find(bookmark.name).Value(), bookmark);
    EXPECT_EQ(Listed().size(), 2u);
    EXPECT_FALSE(store.Delete(bookmark.name));
  }
  EXPECT_EQ(Listed(), Names{"Seahorse"});
  EXPECT_EQ(store.Find("seahorse").Value(), View("Seahorse", -0.75));  // as case-blind as the check
}

TEST_F(BookmarkStoreTest, EveryColumnSurvivesAReopenBitForBitInCaseBlindOrder) {
  const Bookmark julia = View("julia", -0.7436438870371587, 1, 0.1 + 0.2, -1.0e300);
  const Bookmark deep{"Deep", -0.743643887037151, 0.13182590420533, 1.0e-13, 2147483647, 0};
  const Bookmark tiny{"Tiny", Limits::denorm_min(), -Limits::max(), 5e-324, 1, 1, 1.0 / 3.0, 0.0};
  const Bookmark stale = View("Mandelbrot", -0.5, 0, 0.3, -0.4);  // a stale constant is not stored
  for (const Bookmark& bookmark : {tiny, julia, stale, deep}) ASSERT_EQ(store.Add(bookmark).status, Status::Added);
  EXPECT_EQ(BookmarkStore::Open(folder.Path()).Value().List().Value(),
            (std::vector<Bookmark>{deep, julia, View("Mandelbrot"), tiny}));
  // Mandelbrot rows leave the Julia columns empty rather than holding 0.
  SqliteConnection connection = Connect(folder);
  auto empty = SqliteStatement::Prepare(connection,
                                        "SELECT group_concat(name) FROM (SELECT name FROM tblBookmarks "
                                        "WHERE x1 IS NULL AND y1 IS NULL AND fractalType = 0 ORDER BY name)");
  ASSERT_EQ(empty.Value().Next(), SqliteStatement::Step::Row);
  EXPECT_EQ(empty.Value().Text(0), "Deep,Mandelbrot");
  // A bind that fails is the one reported, and no later bind that works makes the statement run.
  auto insert = SqliteStatement::Prepare(connection, "INSERT INTO tblBookmarks (name) VALUES (?1)");
  insert.Value().Bind(9, std::int64_t{1});
  insert.Value().Bind(1, "Lost"sv);
  EXPECT_EQ(insert.Value().Next(), SqliteStatement::Step::Failed);
  EXPECT_NE(insert.Value().Error().message.find("range"), std::string::npos) << insert.Value().Error().message;
}

TEST_F(BookmarkStoreTest, ApplyingSetsTheJuliaConstantOnlyWhereDueAndAddStoresTheViewUnderATrimmedName) {
  const Bookmark rabbit{"Rabbit", 0.125, -0.25, 0.5, 700, 1, -0.124, 0.744};
  BookmarkView::Apply(rabbit, renderer, BookmarkView::JuliaPoint::OnlyForJulia);
  EXPECT_EQ(BookmarkView::Capture(renderer, "Rabbit"), rabbit);
  // Only the main view takes a Mandelbrot bookmark's empty constant; the preview keeps its own.
  BookmarkView::Apply(View("Spiral"), renderer, BookmarkView::JuliaPoint::OnlyForJulia);
  EXPECT_EQ(std::pair(renderer.GetJuliaPointReal(), renderer.GetJuliaPointImaginary()),
            std::pair(-0.124, 0.744));
  BookmarkView::Apply(rabbit, renderer, BookmarkView::JuliaPoint::Always);

  const std::string noName = "You did not supply an appropriate name.  The bookmark was not saved.";
  const std::string inUse = "The name you supplied is already being used.  Please choose a different name.";
  // A cancelled prompt answers "", which trims to nothing like the blank answer here.
  const std::tuple<const char*, AddBookmarkOutcome, std::string, MessageIcon> answers[] = {
      {"  Rabbit\t", AddBookmarkOutcome::Added, "", MessageIcon::None},
      {" \t ", AddBookmarkOutcome::NoName, noName, MessageIcon::None},
      {" RABBIT ", AddBookmarkOutcome::NameInUse, inUse, MessageIcon::Information}};
  for (const auto& [typed, outcome, message, icon] : answers) {
    dialogs.ClearHistory();
    dialogs.AnswerInput(typed);
    EXPECT_EQ(AddBookmark(renderer, folder.Path(), dialogs), outcome) << '"' << typed << '"';
    EXPECT_EQ(dialogs.Messages(), message.empty() ? Names{} : Names{message});
    EXPECT_EQ(dialogs.History().back().icon, icon);
    renderer.WindowSet(0.25, 0.0, 1.0);  // the refusals must keep the first view
  }
  EXPECT_EQ(store.List().Value(), std::vector<Bookmark>{rabbit});
}

// Rows written by another program: names stored as a blob or a number are
// found and deleted under the text they list as; views no renderer can show
// stay listed (so they can be deleted) but are never handed out to apply.
TEST_F(BookmarkStoreTest, AnotherProgramsOddRowsAreListedAndItsLockReported) {
  ASSERT_FALSE(Connect(folder).Execute(
      "INSERT INTO tblBookmarks VALUES ('Zero', 0, 0, 0, 256, 0, NULL, NULL), "
      "('Negative', 0, 0, -2, 256, 0, NULL, NULL), ('Endless', 0, 0, 9e999, 256, 0, NULL, NULL), "
      "('Far', 9e999, 0, 1, 256, 0, NULL, NULL), (X'5A7A', 0, 0, 1, 256, 0, NULL, NULL), "
      "(42, 0, 0, 4e-300, 256, 0, NULL, NULL)"));
  EXPECT_EQ(Listed(), (Names{"42", "Endless", "Far", "Negative", "Zero", "Zz"}));
  for (const char* name : {"Zero", "Negative", "Endless", "Far"})
    EXPECT_EQ(store.Find(name).Error().message,
              "Unable to read the bookmarks:\r\nThe bookmark ["s + name +
                  "] holds a view that cannot be shown: its width must be a positive number.");
  EXPECT_EQ(store.Find("42").Value()->windowWidth, 4e-300);
  ASSERT_TRUE(store.Find("zz").Value().has_value());
  EXPECT_FALSE(store.Delete("Zz") || store.Delete("42"));
  EXPECT_EQ(Listed().size(), 4u);
  // Another program holding the file is reported as locked, not waited on for ever.
  SqliteConnection holder = Connect(folder);
  ASSERT_FALSE(holder.Execute("BEGIN EXCLUSIVE"));
  EXPECT_NE(store.List().Error().message.find("database is locked"), std::string::npos);
  ASSERT_FALSE(holder.Execute("COMMIT"));
  EXPECT_TRUE(store.List().Ok());
}

// A missing or empty file holds no bookmarks to lose and is made anew from
// the shipped views; neither opening nor adding may write a byte to a file
// that is not such a bookmark file. (An older program's Access file is the
// bookmark dialog's case.)
TEST_F(BookmarkStoreTest, AnUnusableFileIsReportedBeforeAnyQuestionAndLeftExactlyAsItWas) {
  BookmarkFolder emptied;
  emptied.WriteDataFile("");
  std::set<std::int16_t> types;
  for (const Bookmark& view : BookmarkStore::Open(emptied.Path()).Value().List().Value())
    types.insert(view.fractalType);
  EXPECT_EQ(types, (std::set<std::int16_t>{0, 1}));
  const std::pair<std::function<void(BookmarkFolder&)>, const char*> cases[] = {
      {[](BookmarkFolder& f) {
         f.OpenEmptyStore();
         f.WriteDataFile(f.ReadDataFile().replace(4096, 4096, 4096, '\xFF'));
       },
       "The database is damaged"},
      {[](BookmarkFolder& f) { ASSERT_FALSE(Connect(f).Execute("CREATE TABLE tblBookmarks (name)")); },
       "tblBookmarks is missing or incomplete"},
      {[](BookmarkFolder& f) { std::filesystem::create_directory(f.DataFile()); }, "It is not a file."}};
  for (const auto& [make, reason] : cases) {
    SCOPED_TRACE(reason);
    BookmarkFolder damaged;
    make(damaged);
    const std::string before = damaged.ReadDataFile();
    const std::string message = BookmarkStore::Open(damaged.Path()).Error().message;
    const std::string opening = "Unable to open the bookmark file:\r\n" + damaged.DataFile().string() + "\r\n";
    EXPECT_TRUE(message.starts_with(opening) && message.find(reason) != std::string::npos &&
                message.ends_with("\r\nThe file was left as it is."))
        << message;
    ScriptedDialogs asked;  // answers no name, were a name asked for
    EXPECT_EQ(AddBookmark(renderer, damaged.Path(), asked), AddBookmarkOutcome::Failed);
    ASSERT_EQ(asked.History().size(), 1u);
    EXPECT_EQ(asked.History()[0].text, message);
    EXPECT_EQ(asked.History()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(damaged.ReadDataFile(), before);
  }
}

}  // namespace
