#include "BookmarkBrowser.h"

#include <gtest/gtest.h>

#include <functional>

#include "BookmarkFolder.h"
#include "BookmarkView.h"
#include "MemorySurface.h"
#include "ScriptedDialogs.h"

namespace {

const Bookmark kRabbit{"Rabbit", 0.0, 0.0, 3.0, 64, 1, -0.123, 0.745};
const Bookmark kSeahorse{"Seahorse", -0.745, -0.1, 0.05, 128, 0, 0.0, 0.0};

class FakeBrowserView final : public BookmarkBrowserView, public BookmarkTarget {
 public:
  void ShowNames(const std::vector<std::string>& shown) override { names = shown; }
  void EnableList(bool enabled) override { listEnabled = enabled; }
  void EnableCommands(bool enabled) override { commandsEnabled = enabled; }
  void ShowProgress(const std::string& text) override { progress.push_back(text); }
  void StartPreviewTimer() override { timerRunning = true; }
  void StopPreviewTimer() override { timerRunning = false; }
  void Close() override { shown += " closed"; }
  void ShowBookmark(const Bookmark& bookmark) override { shown += " loaded " + bookmark.name; }

  // The names, whether the list and then Load and Delete are enabled, the
  // last progress text, and what went to the main view.
  std::string Shown() const {
    std::string text;
    for (const std::string& name : names) text += name + ",";
    return text + (listEnabled ? " list" : " -") + (commandsEnabled ? " commands " : " - ") +
           (progress.empty() ? "" : progress.back()) + shown;
  }

  std::vector<std::string> names{"stale"};
  bool listEnabled = false, commandsEnabled = true, timerRunning = false;
  std::vector<std::string> progress;
  std::string shown;
};

class BookmarkBrowserTest : public testing::Test {
 protected:
  BookmarkBrowserTest() {
    for (const Bookmark& bookmark : {kSeahorse, kRabbit}) store.Add(bookmark);
    browser.Load(preview);
  }
  void Select(const std::string& name) {
    browser.OnSelected(name);
    for (int ticks = 0; view.timerRunning && ticks < 10000; ++ticks) view.timerRunning = browser.OnPreviewTimerTick();
  }

  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();
  ScriptedDialogs dialogs;
  FakeBrowserView view;
  MemorySurface preview{125, 85};
  BookmarkBrowser browser{view, view, dialogs, folder.Path()};
};

TEST_F(BookmarkBrowserTest, AVisitListsSelectsDeletesAndLoadsWithItsMessages) {
  const char* const confirm = "Are you sure you want to delete the current bookmark?";
  const char* const gone =
      "The bookmark you selected is no longer stored.  It may have been deleted in another copy of Quillory.";
  const struct {
    std::function<void()> act;
    const char* shown;
  } steps[] = {
      {[&] { browser.OnActivated(); }, "Rabbit,Seahorse, list - "},
      {[&] { browser.OnLoad(); browser.OnDelete(); }, "Rabbit,Seahorse, list - "},  // nothing selected, nothing asked
      {[&] { Select("Rabbit"); }, "Rabbit,Seahorse, list commands Done"},
      {[&] { dialogs.AnswerMessage(MessageAnswer::No); browser.OnDelete(); }, "Rabbit,Seahorse, list commands Done"},
      // Each activation reads the table afresh: the main window may have added to it.
      {[&] { store.Add({"aardvark", 0, 0, 1, 64, 0}); browser.OnActivated(); }, "aardvark,Rabbit,Seahorse, list - "},
      {[&] { Select("Seahorse"); dialogs.AnswerMessage(MessageAnswer::Yes); browser.OnDelete(); },
       "aardvark,Rabbit, list - "},
      // Deleted in another copy of the program since the list was read.
      {[&] { Select("aardvark"); store.Delete("Rabbit"); Select("Rabbit"); browser.OnLoad(); }, "aardvark, list - "},
      {[&] { Select("aardvark"); browser.OnLoad(); }, "aardvark, list commands Done loaded aardvark closed"},
  };
  for (const auto& [act, shown] : steps) {
    act();
    EXPECT_EQ(view.Shown(), shown);
  }
  EXPECT_EQ(dialogs.Messages(), (std::vector<std::string>{confirm, confirm, gone}));
  EXPECT_EQ(dialogs.History()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs.History()[0].icon, MessageIcon::Question);
  EXPECT_FALSE(store.Find("Seahorse").Value());
  browser.OnClosing();
  EXPECT_FALSE(view.timerRunning);
}

TEST_F(BookmarkBrowserTest, ASelectionPreviewsItsBookmarkInDraftCountingPastOneHundredPercentThenDone) {
  browser.OnActivated();
  for (const Bookmark& bookmark : {kRabbit, kSeahorse}) {
    view.progress.clear();
    Select(bookmark.name);
    // The fractal type is set on every selection, so the second preview is
    // the Mandelbrot set although a Julia set came first.
    MemorySurface expected(preview.Width(), preview.Height());
    FractalRenderer reference;
    reference.Initialize(expected);
    BookmarkView::Apply(bookmark, reference, BookmarkView::JuliaPoint::OnlyForJulia);
    reference.Redraw(true);
    while (reference.RendererCallback()) {
    }
    EXPECT_TRUE(expected.Pixels() == preview.Pixels()) << bookmark.name;
    ASSERT_GE(view.progress.size(), 3u);
    // The last row of blocks reaches past the edge, so the count passes 100.
    EXPECT_EQ(std::vector(view.progress.end() - 2, view.progress.end()), (std::vector<std::string>{"101%", "Done"}));
    for (std::size_t i = 0; i + 2 < view.progress.size(); ++i) EXPECT_EQ(view.progress[i].back(), '%');
  }
}

TEST(BookmarkBrowserFileTest, AnEmptyTableListsNothingAndAnUnreadableFileIsReportedOnActivationAndLeftAsItIs) {
  for (const std::string contents : {"", "not a database at all, just some words"}) {
    BookmarkFolder folder;
    if (contents.empty()) folder.OpenEmptyStore();
    else folder.WriteDataFile(contents);
    ScriptedDialogs dialogs;
    FakeBrowserView view;
    MemorySurface preview(10, 10);
    BookmarkBrowser browser(view, view, dialogs, folder.Path());
    browser.Load(preview);
    EXPECT_TRUE(dialogs.History().empty()) << "nobody is looking yet";
    browser.OnActivated();
    // An empty list that cannot be read must not look like an empty table.
    EXPECT_EQ(view.Shown(), contents.empty() ? " list - " : " - - ");
    ASSERT_EQ(dialogs.History().size(), contents.empty() ? 0u : 1u);
    if (contents.empty()) continue;
    EXPECT_EQ(std::pair(dialogs.History()[0].icon, folder.ReadDataFile()), std::pair(MessageIcon::Stop, contents));
  }
}

}  // namespace
