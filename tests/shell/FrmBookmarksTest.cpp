#include "frmBookmarks.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "BookmarkFolder.h"
#include "PictureBox.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"

namespace {

const Bookmark kRabbit{"Rabbit", 0.0, 0.0, 3.0, 64, 1, -0.123, 0.745};

// The dialog's behaviour in detail is its model's; here the controls.
class FrmBookmarksTest : public ::testing::Test {
 protected:
  void LoadAndShow(Dialogs& answering) {
    dialog = new frmBookmarks(mainView, answering, folder.Path(), &owner);
    dialog->Load();
    Activate();
  }
  // Showing activates the dialog, whose refresh runs once the activation has been handled.
  void Activate() {
    ASSERT_TRUE(ShowActive(dialog));
    QCoreApplication::processEvents();
  }
  void Click(const QString& name) {
    const auto items = dialog->lstBookmarks->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    QTest::mouseClick(dialog->lstBookmarks->viewport(), Qt::LeftButton, {},
                      dialog->lstBookmarks->visualItemRect(items.front()).center());
  }

  BookmarkFolder folder;
  BookmarkStore store{folder.OpenEmptyStore()};
  ScriptedDialogs dialogs;
  RecordingBookmarkTarget mainView;
  QWidget owner;
  QPointer<frmBookmarks> dialog;
};

// A click previews the bookmark and Enter loads it into the main view, while
// Cancel, Escape and closing do not; every way out unloads the dialog, also
// with a preview under way. That each visit reads the table again is the
// main window's test's: its dialog is loaded before the bookmark is added.
TEST_F(FrmBookmarksTest, AClickPreviewsEnterLoadsAndEveryWayOutUnloads) {
  ASSERT_EQ(store.Add(kRabbit).status, BookmarkStore::AddStatus::Added);
  LoadAndShow(dialogs);
  // One row taller than the frame, for "From Picture..." below it.
  EXPECT_EQ(dialog->size(), QSize(317, 229));
  EXPECT_EQ(QSizeF(dialog->pbxPreview->ScaleWidth(), dialog->pbxPreview->ScaleHeight()), QSizeF(121, 81));
  Click("Rabbit");
  EXPECT_TRUE(dialog->cmdLoad->isEnabled() && dialog->cmdDelete->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return !dialog->renderTimer.IsRunning() && dialog->lblProgress->text() == "Done"; }));
  EXPECT_EQ(dialog->browser.Preview().GetJuliaPointReal(), kRabbit.x1);
  EXPECT_NE(dialog->pbxPreview->Point(60, 40), dialog->pbxPreview->Point(0, 0)) << "something was drawn";
  QTest::keyClick(dialog->lstBookmarks, Qt::Key_Return);
  EXPECT_TRUE(WaitUntil([&] { return dialog.isNull(); }, 5000));
  const std::function<void(frmBookmarks&)> ways[] = {
      [](frmBookmarks& shown) { QTest::mouseClick(shown.cmdCancel, Qt::LeftButton); },
      [](frmBookmarks& shown) { QTest::keyClick(shown.lstBookmarks, Qt::Key_Escape); },
      [](frmBookmarks& shown) { shown.close(); },
  };
  for (const auto& leave : ways) {
    LoadAndShow(dialogs);
    Click("Rabbit");
    ASSERT_TRUE(dialog->renderTimer.IsRunning());
    leave(*dialog);
    EXPECT_TRUE(WaitUntil([&] { return dialog.isNull(); }, 5000)) << "closing unloads the dialog";
  }
  EXPECT_EQ(mainView.shown, std::vector<Bookmark>{kRabbit});
  EXPECT_TRUE(dialogs.History().empty());
}

// Coming back from the dialog's own question box is no new visit: the
// selection stays on No, and after Yes the focus is not left on "Cancel",
// where the next Enter would close the dialog.
TEST_F(FrmBookmarksTest, TheRealQuestionBoxKeepsTheRowOnNoAndLeavesTheFocusOnTheListOnYes) {
  ASSERT_EQ(store.Add({"Middle", 0, 0, 1, 64, 0}).status, BookmarkStore::AddStatus::Added);
  QtDialogs desktop;
  LoadAndShow(desktop);
  desktop.SetOwner(dialog);
  for (QMessageBox::StandardButton next : {QMessageBox::No, QMessageBox::Yes}) {
    Click("Middle");
    WhenModalShows<QMessageBox>([next](QMessageBox& box) { box.button(next)->click(); });
    QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);
    // Whether or not the window system hands the focus back by itself.
    Activate();
    EXPECT_TRUE(next == QMessageBox::Yes || dialog->lstBookmarks->selectedItems().size() == 1)
        << "No keeps the row";
  }
  EXPECT_EQ(dialog->lstBookmarks->count(), 0);
  EXPECT_FALSE(dialog->cmdLoad->isEnabled() || dialog->cmdDelete->isEnabled());
  EXPECT_TRUE(dialog->lstBookmarks->hasFocus());
}

}  // namespace
