#include "BookmarkBrowser.h"

#include <gtest/gtest.h>

#include "BookmarkFolder.h"
#include "BookmarkView.h"
#include "MemorySurface.h"
#include "ScriptedDialogs.h"

namespace {

const Bookmark kRabbit{"Rabbit", 0.0, 0.0, 3.0, 64, 1, -0.123, 0.745};
const Bookmark kSeahorse{"Seahorse", -0.745, -0.1, 0.05, 128, 0, 0.0, 0.0};
const char* const kConfirm = "Are you sure you want to delete the current bookmark?";

class FakeBrowserView final : public BookmarkBrowserView, public BookmarkTarget {
 public:
  void ShowNames(const std::vector<std::string>& shown) override { names = shown; }
  void EnableList(bool enabled) override { listEnabled = enabled; }
  void EnableCommands(bool enabled) override { commandsEnabled = enabled; }
  void ShowProgress(const std::string& text) override { progress.push_back(text); }
  void StartPreviewTimer() override { timerRunning = true; }
  void StopPreviewTimer() override { timerRunning = false; }
  void Close() override { ++closed; }
  void ShowBookmark(const Bookmark& bookmark) override { loaded.push_back(bookmark); }

  std::vector<std::string> names{"stale"};
  bool listEnabled = false;
  bool commandsEnabled = true;
  std::vector<std::string> progress;
  bool timerRunning = false;
  int closed = 0;
  std::vector<Bookmark> loaded;
};

class BookmarkBrowserTest : public testing::Test {
 protected:
  BookmarkBrowserTest() {
    Add(kSeahorse);
    Add(kRabbit);
  }
  void Add(const Bookmark& bookmark) { ASSERT_EQ(store.Add(bookmark).status, BookmarkStore::AddStatus::Added); }
  void Open() {
    browser.Load(preview);
    browser.OnActivated();
  }
  void RunPreview() {
    while (view.timerRunning) {
      view.timerRunning = false;
      if (browser.OnPreviewTimerTick()) view.timerRunning = true;
    }
  }
  // The preview's pixels against the bookmark drawn in draft on its own.
  int PixelsDifferingFromDraft(const Bookmark& bookmark) const {
    MemorySurface expected(preview.Width(), preview.Height());
    FractalRenderer reference;
    reference.Initialize(expected);
    BookmarkView::Apply(bookmark, reference, BookmarkView::JuliaPoint::OnlyForJulia);
    reference.Redraw(true);
    while (reference.RendererCallback()) {
    }
    int differing = 0;
    for (std::size_t i = 0; i < expected.Pixels().size(); ++i) differing += expected.Pixels()[i] != preview.Pixels()[i];
    return differing;
  }

  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();
  ScriptedDialogs dialogs;
  FakeBrowserView view;
  MemorySurface preview{125, 85};
  BookmarkBrowser browser{view, view, dialogs, folder.Path()};
};

TEST_F(BookmarkBrowserTest, EachVisitListsTheTableAgainInNameOrderWithNothingSelected) {
  Open();
  EXPECT_EQ(view.names, (std::vector<std::string>{"Rabbit", "Seahorse"}));
  EXPECT_TRUE(view.listEnabled);
  EXPECT_FALSE(view.commandsEnabled);
  browser.OnSelected("Rabbit");
  EXPECT_TRUE(view.commandsEnabled);
  Add({"aardvark", 0, 0, 1, 64, 0});
  browser.OnActivated();
  EXPECT_EQ(view.names, (std::vector<std::string>{"aardvark", "Rabbit", "Seahorse"}));
  EXPECT_FALSE(view.commandsEnabled);
  EXPECT_FALSE(browser.Current());
  EXPECT_EQ(view.progress.back(), "") << "the progress is cleared";
  EXPECT_TRUE(dialogs.Messages().empty());

  BookmarkFolder emptyFolder;
  emptyFolder.OpenEmptyStore();
  FakeBrowserView emptyView;
  BookmarkBrowser empty{emptyView, emptyView, dialogs, emptyFolder.Path()};
  empty.Load(preview);
  empty.OnActivated();
  EXPECT_TRUE(emptyView.names.empty());
  EXPECT_TRUE(emptyView.listEnabled);
  EXPECT_FALSE(emptyView.commandsEnabled);
}

TEST_F(BookmarkBrowserTest, ASelectionPreviewsItsBookmarkInDraftWithWholePercentsThenDone) {
  Open();
  for (const Bookmark& bookmark : {kRabbit, kSeahorse}) {
    view.progress.clear();
    browser.OnSelected(bookmark.name);
    EXPECT_TRUE(view.timerRunning);
    RunPreview();
    // The fractal type is set on every selection, so the second preview is
    // the Mandelbrot set although a Julia set came first.
    EXPECT_EQ(browser.Preview().GetFractal(), bookmark.fractalType);
    EXPECT_EQ(PixelsDifferingFromDraft(bookmark), 0) << bookmark.name;
    ASSERT_GE(view.progress.size(), 3u);
    EXPECT_EQ(view.progress.back(), "Done");
    // The last row of blocks reaches past the edge, so the count passes 100.
    EXPECT_EQ(view.progress[view.progress.size() - 2], "101%") << bookmark.name;
    for (std::size_t i = 0; i + 2 < view.progress.size(); ++i) EXPECT_EQ(view.progress[i].back(), '%');
  }
  EXPECT_TRUE(view.loaded.empty()) << "previewing leaves the main view alone";
}

TEST_F(BookmarkBrowserTest, LoadHandsTheSelectedBookmarkOnAndClosesAndDoesNothingWithoutOne) {
  Open();
  browser.OnLoad();
  EXPECT_EQ(view.closed, 0);
  browser.OnSelected("Rabbit");
  browser.OnLoad();
  ASSERT_EQ(view.loaded.size(), 1u);
  EXPECT_EQ(view.loaded[0], kRabbit);
  EXPECT_EQ(view.closed, 1);
  browser.OnClosing();
  EXPECT_FALSE(view.timerRunning);
}

TEST_F(BookmarkBrowserTest, DeleteAsksFirstAndOnlyYesRemovesTheRowAndTheSelection) {
  Open();
  browser.OnDelete();
  EXPECT_TRUE(dialogs.History().empty()) << "without a selection nothing is asked";
  browser.OnSelected("Rabbit");
  dialogs.AnswerMessage(MessageAnswer::No);
  browser.OnDelete();
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].text, kConfirm);
  EXPECT_EQ(dialogs.History()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs.History()[0].icon, MessageIcon::Question);
  EXPECT_EQ(view.names.size(), 2u);
  EXPECT_TRUE(view.commandsEnabled) << "No keeps the selection";

  dialogs.AnswerMessage(MessageAnswer::Yes);
  browser.OnDelete();
  EXPECT_EQ(view.names, std::vector<std::string>{"Seahorse"});
  EXPECT_FALSE(view.commandsEnabled);
  EXPECT_FALSE(browser.Current());
  EXPECT_FALSE(store.Find("Rabbit").Value());
}

TEST_F(BookmarkBrowserTest, ABookmarkGoneSinceTheListWasReadIsReportedAndTheListReadAgain) {
  Open();
  browser.OnSelected("Rabbit");
  ASSERT_FALSE(store.Delete("Seahorse"));
  browser.OnSelected("Seahorse");
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"The bookmark you selected is no longer stored.  It may "
                                                         "have been deleted in another copy of Quillory."});
  EXPECT_FALSE(browser.IsAsking());
  EXPECT_EQ(view.names, std::vector<std::string>{"Rabbit"});
  EXPECT_FALSE(browser.Current()) << "the earlier selection is not left current";
  browser.OnLoad();
  EXPECT_TRUE(view.loaded.empty());
}

TEST(BookmarkBrowserFileTest, AnUnreadableFileIsReportedOnActivationNotAtLoadAndLeftAsItIs) {
  BookmarkFolder folder;
  const std::string junk = "not a database at all, just some words";
  folder.WriteDataFile(junk);
  ScriptedDialogs dialogs;
  FakeBrowserView view;
  MemorySurface preview(10, 10);
  BookmarkBrowser browser(view, view, dialogs, folder.Path());
  browser.Load(preview);
  EXPECT_TRUE(dialogs.History().empty());
  EXPECT_FALSE(view.listEnabled) << "an empty list would look like a table without bookmarks";
  browser.OnActivated();
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].icon, MessageIcon::Stop);
  EXPECT_TRUE(view.names.empty());
  EXPECT_EQ(folder.ReadDataFile(), junk);
}

}  // namespace
