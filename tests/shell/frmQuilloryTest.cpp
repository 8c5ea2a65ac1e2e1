#include "frmQuillory.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include "MemorySurface.h"
#include "PictureBox.h"
#include "Readouts.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "ToolButton.h"

namespace {

class frmQuilloryTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  frmQuilloryTest() : window(dialogs, folder.path().toStdString()) {}

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

  QString Status() const { return window.lblStatus->text(); }
  QString Caption(int index) const { return window.lblButtons[index]->text(); }
  double ViewWidth() const { return window.rndRenderer.GetWindowWidth(); }

  // Mouse events on the viewport, at a position inside its border.
  void OnViewport(QTest::MouseAction action, QPointF inside, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseEvent(action, window.pbxOutput, button, {}, InsideBorder(window.pbxOutput, inside));
  }
  void MoveOverViewport(QPointF inside, Qt::MouseButtons buttons = Qt::NoButton) {
    MoveOver(window.pbxOutput, InsideBorder(window.pbxOutput, inside), buttons);
  }
  void ClickButton(int index) { QTest::mouseClick(window.lblButtons[index], Qt::LeftButton); }
  // A render is under way and far from done: its pump runs and button 4 reads "Abort".
  // A whole render can fit in one tick's budget, so from here on each tick
  // draws one row, and a render stays under way long enough to be seen.
  void StartRenderAndTakeOneStep() {
    window.timRenderer.SetBudget(std::chrono::microseconds(0));
    window.rndRenderer.Redraw(false);
    ASSERT_TRUE(WaitUntil([&] { return Caption(4) == "Abort"; }));
  }

  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  frmQuillory window;
};

TEST_F(frmQuilloryTest, StartsMaximisedDrawsTheMandelbrotSetToTheEndAndSavesIt) {
  window.Load();
  EXPECT_EQ(window.txtIterations->text(), "256");
  EXPECT_EQ(window.txtZoom->text(), "1.00E+00X");
  EXPECT_TRUE(window.isMaximized());
  WaitForReady();
  EXPECT_EQ(Caption(4), "Redraw");
  EXPECT_EQ(window.shpProgressBar->width(), 0);

  // The viewport holds exactly the picture the renderer draws on its own.
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

  // Save Picture writes those pixels; closing the window ends the program.
  const QString path = folder.filePath("mandelbrot.bmp");
  dialogs.AnswerSaveFile(path.toStdString());
  ClickButton(5);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), shown);
  bool closed = false;
  QObject::connect(&window, &frmQuillory::Closed, [&] { closed = true; });
  window.rndRenderer.Redraw(false);
  window.close();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(window.timRenderer.IsRunning());
}

TEST_F(frmQuilloryTest, LayoutFollowsTheWindowAndAResizeAbortsAndRedraws) {
  LoadAndWaitForReady();
  window.showNormal();
  window.resize(640, 480);
  ASSERT_TRUE(WaitUntil([&] { return window.size() == QSize(640, 480); }));
  EXPECT_EQ(window.pbxOutput->geometry(), QRect(4, 8, 640 - 101 - 8, 480 - 25 - 8));
  EXPECT_EQ(window.fraRight->geometry(), QRect(539, 0, 101, 463));
  EXPECT_EQ(window.lblStatus->width(), 632);

  StartRenderAndTakeOneStep();
  window.resize(600, 470);
  EXPECT_EQ(Caption(4), "Redraw") << "the running render was aborted";
  EXPECT_TRUE(window.timRenderer.IsRunning()) << "and a fresh one started";
  WaitForReady();
  // The viewport's sunken border takes two pixels on every side.
  EXPECT_EQ(window.pbxOutput->Picture().size(), QSize(600 - 109 - 4, 470 - 33 - 4));

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

TEST_F(frmQuilloryTest, DraggingABoxZoomsIntoIt) {
  LoadAndWaitForReady();
  const double oldLeft = window.rndRenderer.GetWindowLeft();
  const double oldTop = window.rndRenderer.GetWindowTop();
  const double pixel = ViewWidth() / window.pbxOutput->ScaleWidth();
  const float boxHeight = 60 * window.pbxOutput->ScaleHeight() / window.pbxOutput->ScaleWidth();

  OnViewport(QTest::MousePress, {200, 150});
  MoveOverViewport({230, 153}, Qt::LeftButton);
  // The box is shown inverted over the picture, which it leaves untouched.
  const QImage persistent = window.pbxOutput->Picture();
  EXPECT_EQ(window.pbxOutput->ComposedPicture().pixel(170, 150), persistent.pixel(170, 150) ^ 0x00FFFFFF);

  OnViewport(QTest::MouseRelease, {230, 153});
  EXPECT_FALSE(window.isDragging);
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowLeft(), oldLeft + 170 * pixel);
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowTop(), oldTop + std::nearbyint(150 - boxHeight / 2) * pixel);
  EXPECT_DOUBLE_EQ(ViewWidth(), 60 * pixel);
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowHeight(), std::nearbyint(boxHeight) * pixel);
  WaitForReady();

  // A drag that begins on the coordinate readout passes on to the viewport.
  QTest::mousePress(window.lblCoordinates, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(window.isDragging);
  MoveOver(window.lblCoordinates, {50, 12}, Qt::LeftButton);
  EXPECT_EQ(window.shpZoomBox->Rectangle().width(), 80);
  QTest::mouseRelease(window.lblCoordinates, Qt::LeftButton, {}, QPoint(50, 12));
  EXPECT_FALSE(window.isDragging);
  EXPECT_LT(ViewWidth(), 60 * pixel);
}

TEST_F(frmQuilloryTest, TheReadoutKeepsOutOfTheMousesWayAndButtonsLightUpUnderTheMouse) {
  LoadAndWaitForReady();
  const float height = window.pbxOutput->ScaleHeight();
  const QPoint inside = window.pbxOutput->contentsRect().topLeft();
  const QPoint low = inside + QPoint(5, static_cast<int>(height) - 22 - 5);
  const QString at40x20 = FormatCoordinates(window.rndRenderer.GetVirtualX(40), window.rndRenderer.GetVirtualY(20));
  MoveOverViewport({40, 20});
  EXPECT_EQ(window.lblCoordinates->text(), at40x20);
  EXPECT_EQ(window.lblCoordinates->pos(), low);
  MoveOverViewport({40, height - 10});
  EXPECT_EQ(window.lblCoordinates->pos(), inside + QPoint(5, 5));
  // Over the readout itself it still moves out of the way, judged by where
  // the mouse is in the viewport; its text stays.
  MoveOverViewport({40, 20});
  MoveOver(window.lblCoordinates, {10, 5});
  EXPECT_EQ(window.lblCoordinates->pos(), inside + QPoint(5, 5));
  MoveOver(window.lblCoordinates, {10, 5});
  EXPECT_EQ(window.lblCoordinates->pos(), low);
  EXPECT_EQ(window.lblCoordinates->text(), at40x20);

  // A tool button is highlighted and its tooltip shown until the Tools frame.
  MoveOver(window.lblButtons[2], {5, 5});
  MoveOver(window.lblButtons[5], {5, 5});
  EXPECT_FALSE(window.lblButtons[2]->IsHighlighted());
  EXPECT_EQ(window.lblButtons[5]->TextColour(), QColor(0, 0, 255));
  EXPECT_EQ(Status(), "Export the image in the viewport to a bitmap file");
  MoveOver(window.fraModes, {2, 2});
  EXPECT_FALSE(window.lblButtons[5]->IsHighlighted());
  MoveOverViewport({40, 20});
  EXPECT_EQ(Status(), "Click on a point and drag the mouse to zoom into a specific area");
}

// A press stops the render; only button 4 waits for its release.
TEST_F(frmQuilloryTest, APressStopsTheRenderAndAClickZoomsNothing) {
  LoadAndWaitForReady();
  StartRenderAndTakeOneStep();
  QTest::mousePress(window.lblButtons[4], Qt::LeftButton);
  EXPECT_EQ(Caption(4), "Abort") << "button 4 stops nothing on its press";
  QTest::mouseRelease(window.lblButtons[4], Qt::LeftButton);
  EXPECT_EQ(Caption(4), "Redraw");
  EXPECT_FALSE(window.timRenderer.IsRunning());
  ClickButton(4);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  ASSERT_TRUE(WaitUntil([&] { return Caption(4) == "Abort"; }));
  QTest::mousePress(window.lblButtons[8], Qt::LeftButton);
  EXPECT_EQ(Caption(4), "Redraw");
  QTest::mouseRelease(window.lblButtons[8], Qt::LeftButton);

  // On the viewport a left click, or a right press and drag, draws no box.
  for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
    StartRenderAndTakeOneStep();
    OnViewport(QTest::MousePress, {100, 100}, button);
    EXPECT_EQ(Caption(4), "Redraw");
    EXPECT_EQ(window.isDragging, button == Qt::LeftButton);
    MoveOverViewport({button == Qt::LeftButton ? 100.0 : 160.0, 100}, button);
    OnViewport(QTest::MouseRelease, {button == Qt::LeftButton ? 100.0 : 160.0, 100}, button);
    EXPECT_FALSE(window.shpZoomBox->IsVisible());
    EXPECT_FALSE(window.isDragging);
    EXPECT_EQ(ViewWidth(), 4.0);
    EXPECT_FALSE(window.timRenderer.IsRunning());
  }
  QTest::qWait(50);
  EXPECT_NE(Status(), "Ready") << "the stopped render stays stopped";
}

TEST_F(frmQuilloryTest, ZoomButtonsAndAJuliaPickWhichAnyButtonCancels) {
  LoadAndWaitForReady();
  ClickButton(1);
  EXPECT_EQ(window.txtZoom->text(), "5.00E-01X");
  ClickButton(0);
  ClickButton(0);
  EXPECT_EQ(ViewWidth(), 2.0);
  ClickButton(3);
  EXPECT_EQ(Caption(3), "Julia Set");
  EXPECT_EQ(window.lblButtons[3]->Background(), QColor(192, 255, 192));
  EXPECT_FALSE(window.timRenderer.IsRunning()) << "nothing is redrawn before the pick";
  const double real = window.rndRenderer.GetVirtualX(120);
  const double imaginary = window.rndRenderer.GetVirtualY(90);
  OnViewport(QTest::MousePress, {120, 90}, Qt::RightButton);
  OnViewport(QTest::MouseRelease, {120, 90}, Qt::RightButton);
  EXPECT_EQ(window.rndRenderer.GetFractal(), 1);
  EXPECT_EQ(window.rndRenderer.GetJuliaPointReal(), real);
  EXPECT_EQ(window.rndRenderer.GetJuliaPointImaginary(), imaginary);
  EXPECT_EQ(ViewWidth(), 4.0) << "drawn in the starting view";
  WaitForReady();

  // From the Julia set the toggle goes straight back to the Mandelbrot set;
  // a pending pick is cancelled by its own button, back to the starting view...
  for (const bool pending : {false, true}) {
    ClickButton(0);
    ClickButton(3);
    if (pending) ClickButton(3);
    EXPECT_EQ(Caption(3), "Mandelbrot Set");
    EXPECT_EQ(window.rndRenderer.GetFractal(), 0);
    EXPECT_EQ(ViewWidth(), 4.0);
  }
  // ...or by another button, whose own command then runs.
  ClickButton(3);
  ClickButton(10);
  EXPECT_EQ(Caption(3), "Mandelbrot Set");
  EXPECT_EQ(window.txtIterations->text(), "512");
  OnViewport(QTest::MousePress, {50, 50});
  EXPECT_TRUE(window.isDragging) << "the viewport zooms again instead of picking";
  OnViewport(QTest::MouseRelease, {50, 50});
}

TEST_F(frmQuilloryTest, IterationButtonsAndTheIterationBoxSetTheLimitAndRedraw) {
  LoadAndWaitForReady();
  ClickButton(9);
  EXPECT_EQ(window.txtIterations->text(), "128");
  EXPECT_TRUE(window.timRenderer.IsRunning()) << "the render the press stopped is restarted";

  const auto type = [&](const char* text) {
    window.txtIterations->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return window.txtIterations->hasFocus(); }));
    window.txtIterations->selectAll();
    QTest::keyClicks(window.txtIterations, text);
    QTest::keyClick(window.txtIterations, Qt::Key_Return);
  };
  type("500000");
  EXPECT_TRUE(window.pbxOutput->hasFocus());
  EXPECT_EQ(window.txtIterations->text(), "131072");
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 131072);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  window.rndRenderer.SetMaxIterations(300);
  WaitForReady();

  type("lots");
  EXPECT_EQ(window.txtIterations->text(), "300");
  EXPECT_FALSE(window.timRenderer.IsRunning()) << "letters restore the limit without a redraw";
}

}  // namespace
