#include "BookmarkBrowser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "BookmarkFolder.h"
#include "BookmarkView.h"
#include "MemorySurface.h"
#include "ScriptedDialogs.h"

namespace {

using namespace std::literals;

// The bookmarks dialog's model on a preview held in memory, showing its list
// to this test and loading bookmarks into it as into the main view.
class BookmarkBrowserTest : public testing::Test, public BookmarkBrowserView, public BookmarkTarget {
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
    return shown + (listEnabled ? " list" : " -") + (commandsEnabled ? " commands " : " - ") + progressBefore +
           " " + progress;
  }
  void Select(const std::string& name) {
    browser.OnSelected(name);
    for (int ticks = 0; timerRunning && ticks < 10000; ++ticks) timerRunning = browser.OnPreviewTimerTick();
  }

  std::string shown = "stale", progressBefore, progress;
  bool listEnabled = false, commandsEnabled = true, timerRunning = false;
  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();
  ScriptedDialogs dialogs;
  MemorySurface preview{125, 85};
  BookmarkBrowser browser{*this, *this, dialogs, folder.Path()};
};

TEST_F(BookmarkBrowserTest, AVisitListsPreviewsDeletesAndLoadsWithItsMessages) {
  const Bookmark rabbit{"Rabbit", 0.0, 0.0, 3.0, 64, 1, -0.123, 0.745};
  const Bookmark seahorse{"Seahorse", -0.745, -0.1, 0.05, 128, 0};
  const auto previewed = [this] { return BookmarkView::Capture(browser.Preview(), browser.Current()->name); };
  const std::pair<std::function<void()>, const char*> steps[] = {
      {[&] { browser.Load(preview); browser.OnActivated(); }, " list -  "},  // an empty table
      {[&] { store.Add(seahorse); store.Add(rabbit); browser.OnActivated(); }, "Rabbit,Seahorse, list -  "},
      // Nothing selected, nothing asked.
      {[&] { browser.OnLoad(); browser.OnDelete(); }, "Rabbit,Seahorse, list -  "},
      // A draft preview; its last row of blocks reaches past the edge, so the count passes 100.
      {[&] { Select("Rabbit"); EXPECT_EQ(previewed(), rabbit); }, "Rabbit,Seahorse, list commands 101% Done"},
      // The fractal type is set on every selection: the Mandelbrot set after a Julia set.
      {[&] { Select("Seahorse"); EXPECT_EQ(previewed(), seahorse); }, "Rabbit,Seahorse, list commands 101% Done"},
      {[&] { dialogs.AnswerMessage(MessageAnswer::No); browser.OnDelete(); },
       "Rabbit,Seahorse, list commands 101% Done"},
      {[&] { dialogs.AnswerMessage(MessageAnswer::Yes); browser.OnDelete(); }, "Rabbit, list - Done "},
      // Each visit reads the table afresh: the main window may have added to it.
      {[&] {
         store.Add({"aardvark", 0, 0, 1, 64, 0});
         store.Add({"Flat", 0, 0, 0, 64, 0});
         browser.OnActivated();
       },
       "aardvark,Flat,Rabbit, list -  "},
      // A view that cannot be shown is reported and leaves nothing selected, not the one before.
      {[&] { Select("aardvark"); Select("Flat"); browser.OnLoad(); }, "aardvark,Flat,Rabbit, list - 101% Done"},
      // Deleted in another copy of the program since the list was read.
      {[&] { store.Delete("Rabbit"); Select("Rabbit"); browser.OnLoad(); }, "aardvark,Flat, list - Done "},
      {[&] { Select("aardvark"); browser.OnLoad(); }, "aardvark,Flat, loaded aardvark closed list commands 101% Done"},
  };
  for (const auto& [act, expected] : steps) {
    act();
    EXPECT_EQ(Shown(), expected);
  }
  const char* const confirm = "Are you sure you want to delete the current bookmark?";
  EXPECT_THAT(dialogs.Messages(),
              testing::ElementsAre(confirm, confirm, testing::HasSubstr("The bookmark [Flat] holds a view that"),
                                   "The bookmark you selected is no longer stored.  It may have been deleted in "
                                   "another copy of Quillory."));
  EXPECT_EQ(std::pair(dialogs.History()[0].buttons, dialogs.History()[0].icon),
            std::pair(MessageButtons::YesNo, MessageIcon::Question));
  browser.OnClosing();
  EXPECT_FALSE(timerRunning);
}

// An empty list that cannot be read must not look like an empty table; the
// older program's Access file of the same name is never touched.
TEST_F(BookmarkBrowserTest, AnUnreadableFileIsReportedOnActivationNotAtLoadAndLeftAsItIs) {
  const std::string access = "\0\x01\0\0Standard Jet DB\0"s + std::string(2028, '\0');
  folder.WriteDataFile(access);
  browser.Load(preview);
  EXPECT_TRUE(dialogs.History().empty()) << "nobody is looking yet";
  browser.OnActivated();
  EXPECT_EQ(Shown(), " - -  ");
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_THAT(dialogs.History()[0].text, testing::HasSubstr("not a database"));
  EXPECT_EQ(std::pair(dialogs.History()[0].icon, folder.ReadDataFile()), std::pair(MessageIcon::Stop, access));
}

}  // namespace
