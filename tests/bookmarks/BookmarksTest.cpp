#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>

#include "AddBookmark.h"
#include "BookmarkBrowser.h"
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

// An empty store in a program folder of the test's own; a renderer whose
// view the main window's "Add" stores; and the bookmarks dialog's model on
// a preview held in memory, showing its list to this test and loading
// bookmarks into it as into the main view.
class BookmarksTest : public testing::Test, public BookmarkBrowserView, public BookmarkTarget {
 protected:
  void ShowNames(const std::vector<std::string>& names) override {
    shown.clear();
    for (const std::string& name : names) shown += name + ",";
  }
  void EnableList(bool enabled) override { listEnabled = enabled; }
  void EnableCommands(bool enabled) override { commandsEnabled = enabled; }
  void ShowProgress(const std::string& text) override { progressBefore = std::exchange(progress, text); }
  void StartPreviewTimer() override { timerRunning = true; }
  void StopPreviewTimer() override { timerRunning = false; }
  void Close() override { shown += " closed"; }
  void ShowBookmark(const Bookmark& bookmark) override { shown += " loaded " + bookmark.name; }

  // The names and what went to the main view, whether the list and then
  // Load and Delete are enabled, and the last two progress texts.
  std::string Shown() const {
    const std::string list = listEnabled ? " list" : " -", commands = commandsEnabled ? " commands " : " - ";
    return shown + list + commands + progressBefore + " " + progress;
  }
  void Select(const std::string& name) {
    browser.OnSelected(name);
    for (int ticks = 0; timerRunning && ticks < 10000; ++ticks) timerRunning = browser.OnPreviewTimerTick();
  }
  Names Listed() {
    Names names;
    for (const Bookmark& bookmark : store.List().Value()) names.push_back(bookmark.name);
    return names;
  }

  std::string shown = "stale", progressBefore, progress;
  bool listEnabled = false, commandsEnabled = true, timerRunning = false;
  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();
  ScriptedDialogs dialogs;
  MemorySurface preview{125, 85};
  FractalRenderer renderer;
  BookmarkBrowser browser{*this, *this, dialogs, folder.Path()};
};

TEST_F(BookmarksTest, NamesAreStoredAsPlainTextAndRefusedAddsChangeNothing) {
  ASSERT_EQ(store.Add(View("Seahorse", -0.75)).status, Status::Added);
  // Texts that would break or rewrite a query built by pasting them into SQL,
  // or that a LIKE match or a byte-wise comparison would get wrong; then the
  // adds that are refused.
  const std::pair<Bookmark, Status> adds[] = {
      {View("O'Brien's \"Spiral\""), Status::Added}, {View("'; DROP TABLE tblBookmarks; --"), Status::Added},
      {View("a_b%"), Status::Added}, {View("Spirale à l'Éléphant 🌀"), Status::Added},
      {View("nul\0in"s), Status::Added}, {View("\t \r\n"), Status::BlankName},
      {View("SEAHORSE", 0.25), Status::NameInUse}, {View("No number", Limits::quiet_NaN()), Status::Failed},
      {View("Infinite Julia", 0, 1, Limits::infinity()), Status::Failed}};
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

TEST_F(BookmarksTest, EveryColumnSurvivesAReopenBitForBitInCaseBlindOrder) {
  const Bookmark julia = View("julia", -0.7436438870371587, 1, 0.1 + 0.2, -1.0e300);
  const Bookmark deep{"Deep", -0.743643887037151, 0.13182590420533, 1.0e-13, 2147483647, 0};
  const Bookmark tiny{"Tiny", Limits::denorm_min(), -Limits::max(), 5e-324, 1, 1, 1.0 / 3.0, 0.0};
  // A Mandelbrot bookmark's stale constant is not stored.
  for (const Bookmark& bookmark : {tiny, julia, View("Mandelbrot", -0.5, 0, 0.3, -0.4), deep})
    ASSERT_EQ(store.Add(bookmark).status, Status::Added) << bookmark.name;
  EXPECT_EQ(BookmarkStore::Open(folder.Path()).Value().List().Value(),
            (std::vector<Bookmark>{deep, julia, View("Mandelbrot"), tiny}));
  // Mandelbrot rows leave the Julia columns empty rather than holding 0.
  SqliteConnection connection = folder.Connect();
  auto empty = SqliteStatement::Prepare(
      connection, "SELECT count(*) FROM tblBookmarks WHERE x1 IS NULL AND y1 IS NULL AND fractalType = 0");
  ASSERT_EQ(empty.Value().Next(), SqliteStatement::Step::Row);
  EXPECT_EQ(empty.Value().Integer(0), 2) << "both Mandelbrot rows";
  // A bind that fails is the one reported, and no later bind that works makes the statement run.
  auto insert = SqliteStatement::Prepare(connection, "INSERT INTO tblBookmarks (name) VALUES (?1)");
  insert.Value().Bind(9, std::int64_t{1});
  insert.Value().Bind(1, "Lost"sv);
  EXPECT_EQ(insert.Value().Next(), SqliteStatement::Step::Failed);
  EXPECT_THAT(insert.Value().Error().message, testing::HasSubstr("range"));
}

TEST_F(BookmarksTest, ApplyingSetsTheJuliaConstantOnlyWhereDueAndAddStoresTheViewUnderATrimmedName) {
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
TEST_F(BookmarksTest, AnotherProgramsOddRowsAreListedAndItsLockReported) {
  ASSERT_FALSE(folder.Connect().Execute(
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
  SqliteConnection holder = folder.Connect();
  ASSERT_FALSE(holder.Execute("BEGIN EXCLUSIVE"));
  EXPECT_THAT(store.List().Error().message, testing::HasSubstr("database is locked"));
  ASSERT_FALSE(holder.Execute("COMMIT"));
  EXPECT_TRUE(store.List().Ok());
}

// A missing or empty file holds no bookmarks to lose and is made anew from
// the shipped views; neither opening nor adding may write a byte to a file
// that is not such a bookmark file. (An older program's Access file is the
// bookmark dialog's case.)
TEST_F(BookmarksTest, AnUnusableFileIsReportedBeforeAnyQuestionAndLeftExactlyAsItWas) {
  BookmarkFolder emptied;
  emptied.WriteDataFile("");
  std::set<std::int16_t> types;
  for (const Bookmark& view : BookmarkStore::Open(emptied.Path()).Value().List().Value())
    types.insert(view.fractalType);
  EXPECT_EQ(types, (std::set<std::int16_t>{0, 1}));
  const std::pair<std::function<void(BookmarkFolder&)>, const char*> cases[] = {
      {[this](auto& f) { f.WriteDataFile(folder.ReadDataFile().replace(4096, 4096, 4096, '\xFF')); },
       "The database is damaged"},
      {[](BookmarkFolder& f) { ASSERT_FALSE(f.Connect().Execute("CREATE TABLE tblBookmarks (name)")); },
       "tblBookmarks is missing or incomplete"},
      {[](BookmarkFolder& f) { std::filesystem::create_directory(f.DataFile()); }, "It is not a file."}};
  for (const auto& [make, reason] : cases) {
    SCOPED_TRACE(reason);
    BookmarkFolder damaged;
    make(damaged);
    const std::string before = damaged.ReadDataFile();
    const std::string message = BookmarkStore::Open(damaged.Path()).Error().message;
    const std::string head = "Unable to open the bookmark file:\r\n" + damaged.DataFile().string() + "\r\n";
    EXPECT_THAT(message, testing::AllOf(testing::StartsWith(head), testing::HasSubstr(reason),
                                        testing::EndsWith("\r\nThe file was left as it is.")));
    ScriptedDialogs asked;  // answers no name, were a name asked for
    EXPECT_EQ(AddBookmark(renderer, damaged.Path(), asked), AddBookmarkOutcome::Failed);
    EXPECT_EQ(asked.Messages(), Names{message});
    EXPECT_EQ(asked.History().back().icon, MessageIcon::Stop);
    EXPECT_EQ(damaged.ReadDataFile(), before);
  }
}

TEST_F(BookmarksTest, AVisitListsPreviewsDeletesAndLoadsWithItsMessages) {
  const Bookmark rabbit{"Rabbit", 0.0, 0.0, 3.0, 64, 1, -0.123, 0.745};
  const Bookmark sea{"Sea", -0.745, -0.1, 0.05, 128, 0};
  const auto previewed = [this] { return BookmarkView::Capture(browser.Preview(), browser.Current()->name); };
  const std::pair<std::function<void()>, const char*> steps[] = {
      {[&] { browser.Load(preview); browser.OnActivated(); }, " list -  "},  // an empty table
      {[&] { store.Add(sea); store.Add(rabbit); browser.OnActivated(); }, "Rabbit,Sea, list -  "},
      // Nothing selected, nothing asked.
      {[&] { browser.OnLoad(); browser.OnDelete(); }, "Rabbit,Sea, list -  "},
      // A draft preview; its last row of blocks reaches past the edge, so the count passes 100.
      {[&] { Select("Rabbit"); EXPECT_EQ(previewed(), rabbit); }, "Rabbit,Sea, list commands 101% Done"},
      // The fractal type is set on every selection: the Mandelbrot set after a Julia set.
      {[&] { Select("Sea"); EXPECT_EQ(previewed(), sea); }, "Rabbit,Sea, list commands 101% Done"},
      // The question left unanswered declines.
      {[&] { browser.OnDelete(); }, "Rabbit,Sea, list commands 101% Done"},
      {[&] { dialogs.AnswerMessage(MessageAnswer::Yes); browser.OnDelete(); }, "Rabbit, list - Done "},
      // Each visit reads the table afresh: the main window may have added to it.
      {[&] { store.Add(View("ant")); store.Add({"Flat", 0, 0, 0, 64, 0}); browser.OnActivated(); },
       "ant,Flat,Rabbit, list -  "},
      // A view that cannot be shown is reported and leaves nothing selected, not the one before.
      {[&] { Select("ant"); Select("Flat"); browser.OnLoad(); }, "ant,Flat,Rabbit, list - 101% Done"},
      // Deleted in another copy of the program since the list was read.
      {[&] { store.Delete("Rabbit"); Select("Rabbit"); browser.OnLoad(); }, "ant,Flat, list - Done "},
      {[&] { Select("ant"); browser.OnLoad(); }, "ant,Flat, loaded ant closed list commands 101% Done"},
  };
  for (const auto& [act, expected] : steps) {
    act();
    EXPECT_EQ(Shown(), expected);
  }
  const std::string gone = "The bookmark you selected is no longer stored.  It may have been deleted in "
                           "another copy of Quillory.";
  const char* const confirm = "Are you sure you want to delete the current bookmark?";
  EXPECT_THAT(dialogs.Messages(),
              testing::ElementsAre(confirm, confirm, testing::HasSubstr("[Flat] holds a view"), gone));
  EXPECT_EQ(std::pair(dialogs.History()[0].buttons, dialogs.History()[0].icon),
            std::pair(MessageButtons::YesNo, MessageIcon::Question));
  browser.OnClosing();
  EXPECT_FALSE(timerRunning);
}

// An empty list that cannot be read must not look like an empty table; the
// older program's Access file of the same name is never touched.
TEST_F(BookmarksTest, AnUnreadableFileIsReportedOnActivationNotAtLoadAndLeftAsItIs) {
  const std::string access = "\0\x01\0\0Standard Jet DB\0"s + std::string(2028, '\0');
  folder.WriteDataFile(access);
  browser.Load(preview);
  EXPECT_TRUE(dialogs.History().empty()) << "nobody is looking yet";
  browser.OnActivated();
  EXPECT_EQ(Shown(), " - -  ");
  EXPECT_THAT(dialogs.Messages(), testing::ElementsAre(testing::HasSubstr("not a database")));
  EXPECT_EQ(dialogs.History().back().icon, MessageIcon::Stop);
  EXPECT_EQ(folder.ReadDataFile(), access);
}

}  // namespace
