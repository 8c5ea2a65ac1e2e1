#include "AddBookmark.h"

#include <gtest/gtest.h>

#include "BookmarkFolder.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "ScriptedDialogs.h"

namespace {

const std::string kPrompt = "What name would you like to give the image you see on the screen?";
const std::string kNoName = "You did not supply an appropriate name.  The bookmark was not saved.";
const std::string kNameInUse = "The name you supplied is already being used.  Please choose a different name.";

class AddBookmarkTest : public testing::Test {
 protected:
  AddBookmarkTest() {
    renderer.Initialize(surface);
    renderer.WindowSet(-0.7767, -0.1377, 0.004);
    renderer.SetMaxIterations(1024);
  }

  AddBookmarkOutcome Add(std::string answer) {
    dialogs.AnswerInput(std::move(answer));
    return AddBookmark(renderer, folder.Path(), dialogs);
  }

  std::vector<Bookmark> Stored() {
    auto all = store.List();
    EXPECT_TRUE(all.Ok());
    return all.Ok() ? all.Value() : std::vector<Bookmark>{};
  }

  void ExpectOnlyMessage(const std::string& text, MessageIcon icon) {
    ASSERT_EQ(dialogs.History().size(), 2u);
    const ScriptedDialogs::Shown& shown = dialogs.History()[1];
    EXPECT_EQ(shown.kind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.icon, icon);
  }

  BookmarkFolder folder;
  BookmarkStore store = folder.OpenEmptyStore();
  MemorySurface surface{400, 300};
  FractalRenderer renderer;
  ScriptedDialogs dialogs;
};

TEST_F(AddBookmarkTest, StoresTheCurrentViewSilentlyUnderTheTrimmedName) {
  EXPECT_EQ(Add("  Double Spiral\t"), AddBookmarkOutcome::Added);
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].kind, ScriptedDialogs::Kind::Input);
  EXPECT_EQ(dialogs.History()[0].text, kPrompt);
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "");
  const auto stored = Stored();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].name, "Double Spiral");
  EXPECT_EQ(stored[0].centerX, renderer.GetWindowCenterX());
  EXPECT_EQ(stored[0].centerY, renderer.GetWindowCenterY());
  EXPECT_EQ(stored[0].windowWidth, 0.004);
  EXPECT_EQ(stored[0].maxIterations, 1024);
  EXPECT_EQ(stored[0].fractalType, 0);
}

TEST_F(AddBookmarkTest, NoNameStoresNothing) {
  for (const char* answer : {"", "   "}) {
    dialogs.ClearHistory();
    EXPECT_EQ(Add(answer), AddBookmarkOutcome::NoName);
    ExpectOnlyMessage(kNoName, MessageIcon::None);
  }
  // Cancelling the prompt answers with an empty text.
  dialogs.ClearHistory();
  EXPECT_EQ(AddBookmark(renderer, folder.Path(), dialogs), AddBookmarkOutcome::NoName);
  ExpectOnlyMessage(kNoName, MessageIcon::None);
  EXPECT_TRUE(Stored().empty());
}

TEST_F(AddBookmarkTest, ANameInUseKeepsTheFirstView) {
  ASSERT_EQ(Add("Spiral"), AddBookmarkOutcome::Added);
  renderer.WindowSet(0.25, 0.0, 1.0);
  for (const char* again : {"Spiral", "spiral", "  Spiral "}) {
    dialogs.ClearHistory();
    EXPECT_EQ(Add(again), AddBookmarkOutcome::NameInUse) << again;
    ExpectOnlyMessage(kNameInUse, MessageIcon::Information);
  }
  const auto stored = Stored();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].windowWidth, 0.004);
}

TEST_F(AddBookmarkTest, AnUnreadableFileIsReportedBeforeAnyQuestion) {
  BookmarkFolder damaged;
  damaged.WriteDataFile("not a database at all");
  dialogs.AnswerInput("Never asked");
  EXPECT_EQ(AddBookmark(renderer, damaged.Path(), dialogs), AddBookmarkOutcome::Failed);
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].kind, ScriptedDialogs::Kind::Message);
  EXPECT_EQ(dialogs.History()[0].icon, MessageIcon::Stop);
  EXPECT_EQ(dialogs.History()[0].text.rfind("Unable to open the bookmark file:\r\n", 0), 0u);
  EXPECT_EQ(damaged.ReadDataFile(), "not a database at all");
}

}  // namespace
