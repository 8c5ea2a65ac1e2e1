#include "frmQuillory.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "BookmarkStore.h"
#include "InvertedShape.h"
#include "MelodizerSettings.h"
#include "MemorySurface.h"
#include "PictureBox.h"
#include "Readouts.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "ToolButton.h"
#include "frmBookmarks.h"
#include "frmMusic.h"
#include "frmOrbits.h"

namespace {

// The main window end to end: its controls reach the model and the model's
// view reaches the controls. The behaviour in detail is the model's tests'.
class frmQuilloryTest : public ::testing::Test {
 protected:
  frmQuilloryTest() : window(dialogs, folder.path().toStdString()) { window.SetMidiService(midi); }

  void LoadAndWaitForReady() {
    window.Load();
    ASSERT_TRUE(ShowActive(&window));
    WaitForReady();
  }
  // A redraw only arms the pump; "Ready" counts once the pump has stopped.
  void WaitForReady() {
    ASSERT_TRUE(WaitUntil([&] { return !window.timRenderer.IsRunning() && Status() == "Ready"; }))
        << "status: " << Status().toStdString();
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

  QString Status() const { return window.lblStatus->text(); }
  const FractalRenderer& Renderer() const { return window.explorer.Renderer(); }
  QPoint OnViewport(QPointF inside) const { return InsideBorder(window.pbxOutput, inside); }
  void ClickButton(Tool tool) { QTest::mouseClick(window.lblButtons[static_cast<int>(tool)], Qt::LeftButton); }

  QApplication& application{TestApplication()};
  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  RecordingMidiService midi;
  frmQuillory window;
};

TEST_F(frmQuilloryTest, StartsMaximisedDrawsTheMandelbrotSetExactlyAndSavesItsPixels) {
  window.Load();
  EXPECT_EQ(window.txtIterations->text(), "256");
  EXPECT_EQ(window.txtZoom->text(), "1.00E+00X");
  EXPECT_TRUE(window.isMaximized());
  WaitForReady();
  EXPECT_EQ(window.lblButtons[4]->text(), "Redraw");
  EXPECT_EQ(window.shpProgressBar->width(), 0);

  const int width = static_cast<int>(window.pbxOutput->ScaleWidth());
  const int height = static_cast<int>(window.pbxOutput->ScaleHeight());
  MemorySurface reference(width, height);
  FractalRenderer renderer;
  renderer.Initialize(reference);
  renderer.Redraw(false);
  while (renderer.RendererCallback()) {
  }
  const QImage& shown = window.pbxOutput->Picture();
  int differing = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) differing += PictureBox::ToPacked(shown.pixel(x, y)) != reference.Pixel(x, y);
  EXPECT_EQ(differing, 0);

  const QString path = folder.filePath("mandelbrot.bmp");
  dialogs.AnswerSaveFile(path.toStdString());
  ClickButton(Tool::SavePicture);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), shown);
  bool closed = false;
  QObject::connect(&window, &frmQuillory::Closed, [&] { closed = true; });
  window.explorer.RedrawView();
  window.close();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(window.timRenderer.IsRunning());
}

TEST_F(frmQuilloryTest, LayoutFollowsTheWindowAndNeverShrinksBelowItsSmallestSize) {
  LoadAndWaitForReady();
  window.showNormal();
  window.resize(640, 480);
  ASSERT_TRUE(WaitUntil([&] { return window.size() == QSize(640, 480); }));
  EXPECT_EQ(window.pbxOutput->geometry(), QRect(4, 8, 640 - 101 - 8, 480 - 25 - 8));
  EXPECT_EQ(window.fraRight->geometry(), QRect(539, 0, 101, 463));
  EXPECT_EQ(window.lblStatus->width(), 632);
  WaitForReady();
  // The viewport's sunken border takes two pixels on every side.
  EXPECT_EQ(window.pbxOutput->Picture().size(), QSize(640 - 109 - 4, 480 - 33 - 4));
  window.resize(100, 100);
  // The smallest outer width is 232 pixels, the frame included; the smallest
  // height still shows the whole tool column above the status strip.
  EXPECT_TRUE(WaitUntil([&] { return window.frameGeometry().width() == 232; }));
  EXPECT_TRUE(WaitUntil([&] { return window.frameGeometry().height() >= 304; }));
  const QRect saveButton(window.lblButtons[5]->mapTo(&window, QPoint(0, 0)), window.lblButtons[5]->size());
  const QRect tools(window.fraModes->mapTo(&window, QPoint(0, 0)), window.fraModes->size());
  EXPECT_LE(tools.bottom(), window.fraBottom->y() - 1) << "at " << window.height() << " high";
  EXPECT_LE(saveButton.bottom(), window.fraBottom->y() - 1);
}

TEST_F(frmQuilloryTest, ADragAcrossTheViewportShowsAnInvertedBoxAndZoomsIntoIt) {
  LoadAndWaitForReady();
  const double pixel = Renderer().GetWindowWidth() / window.pbxOutput->ScaleWidth();
  QTest::mousePress(window.pbxOutput, Qt::LeftButton, {}, OnViewport({200, 150}));
  MoveOver(window.pbxOutput, OnViewport({230, 153}), Qt::LeftButton);
  const QImage persistent = window.pbxOutput->Picture();
  EXPECT_EQ(window.pbxOutput->ComposedPicture().pixel(170, 150), persistent.pixel(170, 150) ^ 0x00FFFFFF);
  EXPECT_EQ(Status(), "Click on a point and drag the mouse to zoom into a specific area");
  QTest::mouseRelease(window.pbxOutput, Qt::LeftButton, {}, OnViewport({230, 153}));
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  EXPECT_DOUBLE_EQ(Renderer().GetWindowWidth(), 60 * pixel);
  EXPECT_EQ(window.txtZoom->text().toStdString(), FormatMagnification(4.0 / Renderer().GetWindowWidth()));
  WaitForReady();

  // A drag that begins on the coordinate readout passes on to the viewport.
  QTest::mousePress(window.lblCoordinates, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(window.explorer.IsDragging());
  QTest::mouseRelease(window.lblCoordinates, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(window.explorer.IsDragging());
}

TEST_F(frmQuilloryTest, ButtonsLightUpTheIterationBoxTakesEnterAndTheJuliaPickIsGreen) {
  LoadAndWaitForReady();
  MoveOver(window.lblButtons[5], {5, 5});
  EXPECT_EQ(window.lblButtons[5]->TextColour(), QColor(0, 0, 255));
  EXPECT_EQ(Status(), "Export the image in the viewport to a bitmap file");
  MoveOver(window.fraModes, {2, 2});
  EXPECT_FALSE(window.lblButtons[5]->IsHighlighted());

  window.txtIterations->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return window.txtIterations->hasFocus(); }));
  window.txtIterations->selectAll();
  QTest::keyClicks(window.txtIterations, "500000");
  QTest::keyClick(window.txtIterations, Qt::Key_Return);
  EXPECT_TRUE(window.pbxOutput->hasFocus());
  EXPECT_EQ(window.txtIterations->text(), "131072");
  EXPECT_EQ(Renderer().GetMaxIterations(), 131072);
  window.explorer.StopRendering();

  ClickButton(Tool::FractalToggle);
  EXPECT_EQ(window.lblButtons[3]->text(), "Julia Set");
  EXPECT_EQ(window.lblButtons[3]->Background(), QColor(192, 255, 192));
  QTest::mouseClick(window.pbxOutput, Qt::RightButton, {}, OnViewport({120, 90}));
  EXPECT_EQ(window.lblButtons[3]->Background(), QColor(192, 192, 255));
  EXPECT_EQ(Renderer().GetFractal(), 1);
}

TEST_F(frmQuilloryTest, ATraceOpensTheMelodizerOnTheLineAndEndsTraceModeWhenItCloses) {
  LoadAndWaitForReady();
  window.explorer.ShowBookmark({"J", 0, 0, 4, 500, 1, -0.8, 0.156});
  ClickButton(Tool::Melodizer);
  EXPECT_EQ(window.lblButtons[6]->GetLook(), ToolButton::Look::ModePending);
  const QPointF from(40, 30);
  const QPointF to(200, 120);
  MelodizerSettings expected;
  expected.SetRegion(Renderer().GetVirtualX(from.x()), Renderer().GetVirtualY(from.y()),
                     Renderer().GetVirtualX(to.x()), Renderer().GetVirtualY(to.y()), 500);
  bool sawMelodizer = false;
  WhenModalAppears([&](QWidget* modal) {
    auto* melodizer = qobject_cast<frmMusic*>(modal);
    ASSERT_NE(melodizer, nullptr);
    sawMelodizer = window.linTracer->IsVisible();
    const MelodizerSettings& controls = melodizer->Model().Controls();
    EXPECT_EQ(controls.firstPointReal, expected.firstPointReal);
    EXPECT_EQ(controls.secondPointImaginary, expected.secondPointImaginary);
    EXPECT_EQ(controls.maxIterations, "500");
    EXPECT_EQ(melodizer->rndRenderer().GetFractal(), 1);
    EXPECT_EQ(melodizer->rndRenderer().GetJuliaPointImaginary(), 0.156);
  });
  QTest::mousePress(window.pbxOutput, Qt::LeftButton, {}, OnViewport(from));
  MoveOver(window.pbxOutput, OnViewport(to), Qt::LeftButton);
  QTest::mouseRelease(window.pbxOutput, Qt::LeftButton, {}, OnViewport(to));
  EXPECT_TRUE(sawMelodizer);
  EXPECT_EQ(window.lblButtons[6]->GetLook(), ToolButton::Look::Normal);
  EXPECT_FALSE(window.linTracer->IsVisible());
  EXPECT_EQ(window.explorer.Mode(), MouseMode::Normal);
}

TEST_F(frmQuilloryTest, TheOrbiterOpensAndAnAddedBookmarkIsLoadedThroughTheDialog) {
  LoadAndWaitForReady();
  bool sawOrbiter = false;
  WhenModalAppears([&](QWidget* modal) { sawOrbiter = qobject_cast<frmOrbits*>(modal) != nullptr; });
  ClickButton(Tool::Orbiter);
  EXPECT_TRUE(sawOrbiter);

  window.explorer.ShowBookmark({"J", 0.25, -0.5, 2.0, 300, 1, -0.8, 0.156});
  dialogs.AnswerInput("Zz Julia");
  ClickButton(Tool::AddBookmark);
  EXPECT_TRUE(dialogs.Messages().empty());
  window.explorer.ShowBookmark({"M", 0, 0, 4, 256, 0, 0, 0});
  window.LoadBookmarksDialog();
  ASSERT_NE(window.BookmarksDialog(), nullptr);
  EXPECT_FALSE(window.BookmarksDialog()->isVisible()) << "start-up loads the dialog hidden";
  WhenModalAppears([&](QWidget* modal) {
    auto* dialog = qobject_cast<frmBookmarks*>(modal);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !dialog->lstBookmarks->findItems("Zz Julia", Qt::MatchExactly).empty(); }));
    const auto items = dialog->lstBookmarks->findItems("Zz Julia", Qt::MatchExactly);
    QTest::mouseClick(dialog->lstBookmarks->viewport(), Qt::LeftButton, {},
                      dialog->lstBookmarks->visualItemRect(items.front()).center());
    QTest::mouseClick(dialog->cmdLoad, Qt::LeftButton);
  });
  ClickButton(Tool::LoadBookmarks);
  EXPECT_EQ(window.lblButtons[3]->text(), "Julia Set");
  EXPECT_EQ(Renderer().GetWindowWidth(), 2.0);
  EXPECT_EQ(Renderer().GetJuliaPointReal(), -0.8);
  WaitForReady();
  EXPECT_TRUE(WaitUntil([&] { return window.BookmarksDialog() == nullptr; })) << "leaving the dialog unloads it";
}

}  // namespace
