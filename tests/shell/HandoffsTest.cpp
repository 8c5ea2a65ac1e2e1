#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "BookmarkStore.h"
#include "BookmarkView.h"
#include "InvertedShape.h"
#include "MelodizerSettings.h"
#include "PictureBox.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "ToolButton.h"
#include "frmBookmarks.h"
#include "frmMusic.h"
#include "frmOrbits.h"
#include "frmQuillory.h"

namespace {

// The main window's ways into the other windows. Those windows are modal, so
// each test looks at them from a timer while they run, then closes them.
class HandoffsTest : public ::testing::Test {
 protected:
  HandoffsTest() : window(dialogs, folder.path().toStdString()) {
    window.SetMidiService(midi);
    window.Load();
    EXPECT_TRUE(WaitUntil([&] { return !window.timRenderer.IsRunning(); }));
  }

  // Runs `inspect` on the next modal window to appear, then closes it.
  void WhenModalAppears(std::function<void(QWidget*)> inspect) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || !modal->isVisible()) return;
      poll->stop();
      poll->deleteLater();
      inspect(modal);
      if (modal->isVisible()) modal->close();
    });
    poll->start(5);
  }

  QPoint OnViewport(QPointF inside) const { return InsideBorder(window.pbxOutput, inside); }
  void ClickButton(int index) { QTest::mouseClick(window.lblButtons[index], Qt::LeftButton); }
  void DragAcrossViewport(QPointF from, QPointF to) {
    QTest::mousePress(window.pbxOutput, Qt::LeftButton, {}, OnViewport(from));
    MoveOver(window.pbxOutput, OnViewport(to), Qt::LeftButton);
    QTest::mouseRelease(window.pbxOutput, Qt::LeftButton, {}, OnViewport(to));
  }

  QApplication& application{TestApplication()};
  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  RecordingMidiService midi;
  frmQuillory window;
};

TEST_F(HandoffsTest, TraceHandsTheLineFractalAndLimitToTheMelodizer) {
  window.rndRenderer.SetFractal(1);
  window.rndRenderer.SetJuliaPoint(-0.8, 0.156);
  window.rndRenderer.SetMaxIterations(500);
  ClickButton(6);
  EXPECT_EQ(window.mouseMode, 6);
  EXPECT_EQ(window.lblButtons[6]->GetLook(), ToolButton::Look::ModePending);
  EXPECT_EQ(window.lblStatus->text(), "Click and drag the mouse to define the area you want to trace");

  const QPointF from(40, 30);
  const QPointF to(200, 120);
  MelodizerSettings expected;
  expected.SetRegion(window.rndRenderer.GetVirtualX(from.x()), window.rndRenderer.GetVirtualY(from.y()),
                     window.rndRenderer.GetVirtualX(to.x()), window.rndRenderer.GetVirtualY(to.y()), 500);
  bool sawMelodizer = false;
  bool tracerShownMeanwhile = false;
  WhenModalAppears([&](QWidget* modal) {
    auto* melodizer = qobject_cast<frmMusic*>(modal);
    ASSERT_NE(melodizer, nullptr);
    sawMelodizer = true;
    tracerShownMeanwhile = window.linTracer->IsVisible();
    const MelodizerSettings& controls = melodizer->Model().Controls();
    EXPECT_EQ(controls.firstPointReal, expected.firstPointReal);
    EXPECT_EQ(controls.firstPointImaginary, expected.firstPointImaginary);
    EXPECT_EQ(controls.secondPointReal, expected.secondPointReal);
    EXPECT_EQ(controls.secondPointImaginary, expected.secondPointImaginary);
    EXPECT_EQ(controls.maxIterations, "500");
    EXPECT_EQ(melodizer->rndRenderer().GetFractal(), 1);
    EXPECT_EQ(melodizer->rndRenderer().GetJuliaPointReal(), -0.8);
    EXPECT_EQ(melodizer->rndRenderer().GetJuliaPointImaginary(), 0.156);
  });
  DragAcrossViewport(from, to);

  EXPECT_TRUE(sawMelodizer);
  EXPECT_TRUE(tracerShownMeanwhile);
  // Back in zoom mode with the button and the line as they were.
  EXPECT_EQ(window.mouseMode, -1);
  EXPECT_FALSE(window.isDragging);
  EXPECT_EQ(window.lblButtons[6]->GetLook(), ToolButton::Look::Normal);
  EXPECT_FALSE(window.linTracer->IsVisible());
}

TEST_F(HandoffsTest, ClickWithoutDragTracesALineOfLengthZero) {
  ClickButton(6);
  bool sawMelodizer = false;
  WhenModalAppears([&](QWidget* modal) {
    auto* melodizer = qobject_cast<frmMusic*>(modal);
    ASSERT_NE(melodizer, nullptr);
    sawMelodizer = true;
    const MelodizerSettings& controls = melodizer->Model().Controls();
    EXPECT_EQ(controls.firstPointReal, controls.secondPointReal);
    EXPECT_EQ(controls.firstPointImaginary, controls.secondPointImaginary);
  });
  QTest::mouseClick(window.pbxOutput, Qt::LeftButton, {}, OnViewport({100, 80}));
  EXPECT_TRUE(sawMelodizer);
  EXPECT_EQ(window.mouseMode, -1);
}

TEST_F(HandoffsTest, OrbiterButtonCancelsTraceModeAndOpensTheOrbiter) {
  ClickButton(6);
  ASSERT_EQ(window.mouseMode, 6);
  bool sawOrbiter = false;
  WhenModalAppears([&](QWidget* modal) {
    sawOrbiter = qobject_cast<frmOrbits*>(modal) != nullptr;
    EXPECT_EQ(window.mouseMode, -1);
    EXPECT_EQ(window.lblButtons[6]->GetLook(), ToolButton::Look::Normal);
  });
  ClickButton(2);
  EXPECT_TRUE(sawOrbiter);
}

TEST_F(HandoffsTest, AddStoresTheViewAndRefusesATakenName) {
  window.rndRenderer.WindowSet(-0.75, 0.1, 0.5);
  window.rndRenderer.SetMaxIterations(1024);
  dialogs.AnswerInput("Seahorse's edge");
  ClickButton(8);
  dialogs.AnswerInput("Seahorse's edge");
  ClickButton(8);

  auto store = BookmarkStore::Open(folder.path().toStdString());
  ASSERT_TRUE(store.Ok());
  const auto found = store.Value().Find("Seahorse's edge");
  ASSERT_TRUE(found.Ok());
  ASSERT_TRUE(found.Value().has_value());
  const Bookmark& stored = *found.Value();
  EXPECT_EQ(stored.centerX, window.rndRenderer.GetWindowCenterX());
  EXPECT_EQ(stored.centerY, window.rndRenderer.GetWindowCenterY());
  EXPECT_EQ(stored.windowWidth, 0.5);
  EXPECT_EQ(stored.maxIterations, 1024);
  EXPECT_EQ(stored.fractalType, 0);
  EXPECT_EQ(dialogs.History().front().text, "What name would you like to give the image you see on the screen?");
  ASSERT_FALSE(dialogs.Messages().empty());
  EXPECT_EQ(dialogs.Messages().back(),
            "The name you supplied is already being used.  Please choose a different name.");
}

TEST_F(HandoffsTest, LoadingABookmarkChangesTheMainViewAndRedraws) {
  Bookmark julia{"Zz Julia", 0.25, -0.5, 2.0, 300, 1, -0.8, 0.156};
  {
    auto store = BookmarkStore::Open(folder.path().toStdString());
    ASSERT_TRUE(store.Ok());
    ASSERT_EQ(store.Value().Add(julia).status, BookmarkStore::AddStatus::Added);
  }
  window.LoadBookmarksDialog();
  ASSERT_NE(window.BookmarksDialog(), nullptr);
  EXPECT_FALSE(window.BookmarksDialog()->isVisible()) << "start-up loads the dialog hidden";

  WhenModalAppears([&](QWidget* modal) {
    auto* dialog = qobject_cast<frmBookmarks*>(modal);
    ASSERT_NE(dialog, nullptr);
    const auto items = dialog->lstBookmarks->findItems("Zz Julia", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    const QRect row = dialog->lstBookmarks->visualItemRect(items.front());
    QTest::mouseClick(dialog->lstBookmarks->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseClick(dialog->cmdLoad, Qt::LeftButton);
  });
  ClickButton(7);

  EXPECT_EQ(window.lblButtons[3]->text(), "Julia Set");
  EXPECT_EQ(window.rndRenderer.GetFractal(), 1);
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 300);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), 2.0);
  EXPECT_EQ(window.rndRenderer.GetJuliaPointReal(), -0.8);
  EXPECT_EQ(window.rndRenderer.GetJuliaPointImaginary(), 0.156);
  EXPECT_TRUE(WaitUntil([&] { return window.lblStatus->text() == "Ready"; })) << "the loaded view is drawn";
  EXPECT_EQ(window.BookmarksDialog(), nullptr) << "leaving the dialog unloads it";
}

}  // namespace
