#include "frmQuillory.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "MemorySurface.h"
#include "PictureBox.h"
#include "Readouts.h"
#include "ScriptedDialogs.h"
#include "WidgetTesting.h"
#include "ToolButton.h"

namespace {

constexpr int kRenderTimeout = 30000;

class frmQuilloryTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  frmQuilloryTest() : window(dialogs, folder.path().toStdString()) {}

  void LoadAndWaitForReady() {
    window.Load();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    WaitForReady();
  }

  // A redraw only arms the pump; "Ready" counts once the pump has stopped.
  void WaitForReady() {
    ASSERT_TRUE(WaitUntil([&] { return !window.timRenderer.IsRunning() && Status() == "Ready"; }, kRenderTimeout))
        << "status: " << Status().toStdString();
  }

  QString Status() const { return window.lblStatus->text(); }
  QString Caption(int index) const { return window.lblButtons[index]->text(); }

  // Mouse events on the viewport, at a position inside its border.
  QPoint OnViewport(QPointF inside) const {
    return (inside + QPointF(window.pbxOutput->contentsRect().topLeft())).toPoint();
  }
  void PressViewport(QPointF inside, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(window.pbxOutput, button, {}, OnViewport(inside));
  }
  void ReleaseViewport(QPointF inside, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(window.pbxOutput, button, {}, OnViewport(inside));
  }
  void MoveOver(QWidget* widget, QPoint position, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  }
  void MoveOverViewport(QPointF inside, Qt::MouseButtons buttons = Qt::NoButton) {
    MoveOver(window.pbxOutput, OnViewport(inside), buttons);
  }
  void ClickButton(int index, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(window.lblButtons[index], button);
  }
  // A render is under way and far from done: its pump runs and button 4 reads "Abort".
  void StartRenderAndTakeOneStep() {
    window.rndRenderer.Redraw(false);
    ASSERT_TRUE(WaitUntil([&] { return Caption(4) == "Abort"; }, kRenderTimeout));
  }

  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  frmQuillory window;
};

TEST_F(frmQuilloryTest, StartsMaximisedAndDrawsTheMandelbrotSetToTheEnd) {
  window.Load();
  EXPECT_EQ(window.txtIterations->text(), "256");
  EXPECT_EQ(window.txtZoom->text(), "1.00E+00X");
  EXPECT_TRUE(window.isMaximized());
  EXPECT_EQ(window.windowTitle(), "Quillory");
  EXPECT_TRUE(window.timRenderer.IsRunning());
  WaitForReady();
  EXPECT_EQ(Caption(4), "Redraw");
  EXPECT_EQ(window.shpProgressBar->width(), 0);
  EXPECT_FALSE(window.timRenderer.IsRunning());

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
}

TEST_F(frmQuilloryTest, LayoutFollowsTheWindowAndAResizeAbortsAndRedraws) {
  LoadAndWaitForReady();
  window.showNormal();
  window.resize(640, 480);
  ASSERT_TRUE(WaitUntil([&] { return window.size() == QSize(640, 480); }));
  EXPECT_EQ(window.pbxOutput->geometry(), QRect(4, 8, 640 - 101 - 8, 480 - 25 - 8));
  EXPECT_EQ(window.fraBottom->geometry(), QRect(0, 455, 640, 25));
  EXPECT_EQ(window.fraRight->geometry(), QRect(539, 0, 101, 463));
  EXPECT_EQ(window.lblStatus->width(), 632);
  EXPECT_EQ(window.shpProgressOutline->geometry(), window.lblStatus->geometry());
  EXPECT_EQ(window.linProgressLine->End(), QPointF(window.pbxOutput->ScaleWidth(), 0));
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowHeight(),
                   window.rndRenderer.GetWindowWidth() * window.pbxOutput->ScaleHeight() / window.pbxOutput->ScaleWidth());

  StartRenderAndTakeOneStep();
  window.resize(600, 470);
  EXPECT_EQ(Caption(4), "Redraw") << "the running render was aborted";
  EXPECT_TRUE(window.timRenderer.IsRunning()) << "and a fresh one started";
  WaitForReady();
  // The viewport's sunken border takes two pixels on every side.
  EXPECT_EQ(window.pbxOutput->Picture().size(), QSize(600 - 109 - 4, 470 - 33 - 4));

  window.resize(100, 100);
  // The smallest outer size is 232 x 304 pixels, the frame included.
  EXPECT_TRUE(WaitUntil([&] { return window.frameGeometry().size() == QSize(232, 304); }))
      << window.frameGeometry().width() << " x " << window.frameGeometry().height();
}

TEST_F(frmQuilloryTest, ProgressMovesTheLineAndFillsTheBar) {
  LoadAndWaitForReady();
  window.timRenderer.Stop();
  static_cast<RendererListener&>(window).OnProgress(0.5);
  EXPECT_DOUBLE_EQ(window.linProgressLine->Start().y(), window.pbxOutput->ScaleHeight() / 2);
  EXPECT_DOUBLE_EQ(window.linProgressLine->End().y(), window.pbxOutput->ScaleHeight() / 2);
  EXPECT_EQ(window.shpProgressBar->width(), window.lblStatus->width() / 2);
  static_cast<RendererListener&>(window).OnProgressPass(2, 5);
  EXPECT_EQ(Status(), "Pass 2/5");
}

TEST_F(frmQuilloryTest, DraggingABoxZoomsIntoIt) {
  LoadAndWaitForReady();
  const double oldLeft = window.rndRenderer.GetWindowLeft();
  const double oldTop = window.rndRenderer.GetWindowTop();
  const double pixel = window.rndRenderer.GetWindowWidth() / window.pbxOutput->ScaleWidth();
  const float width = window.pbxOutput->ScaleWidth();
  const float height = window.pbxOutput->ScaleHeight();

  PressViewport({200, 150});
  EXPECT_TRUE(window.isDragging);
  EXPECT_TRUE(window.shpZoomBox->IsVisible());
  MoveOverViewport({230, 153}, Qt::LeftButton);
  const float boxHeight = 60 * height / width;
  EXPECT_EQ(window.shpZoomBox->Rectangle(), QRectF(170, 150 - boxHeight / 2, 60, boxHeight));
  // The box is shown inverted over the picture, which it leaves untouched.
  const QImage persistent = window.pbxOutput->Picture();
  EXPECT_EQ(window.pbxOutput->ComposedPicture().pixel(170, 150), persistent.pixel(170, 150) ^ 0x00FFFFFF);

  ReleaseViewport({230, 153});
  EXPECT_FALSE(window.isDragging);
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  const int top = static_cast<int>(std::nearbyint(150 - boxHeight / 2));
  const int zoomedHeight = static_cast<int>(std::nearbyint(boxHeight));
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowLeft(), oldLeft + 170 * pixel);
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowTop(), oldTop + top * pixel);
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowWidth(), 60 * pixel);
  EXPECT_DOUBLE_EQ(window.rndRenderer.GetWindowHeight(), zoomedHeight * pixel);
  EXPECT_EQ(window.txtZoom->text(), FormatMagnification(std::floor(400 / (60 * pixel)) / 100));
  EXPECT_NE(window.txtZoom->text(), "1.00E+00X");
  WaitForReady();
}

TEST_F(frmQuilloryTest, ADragThatBeginsOnTheReadoutStillZooms) {
  LoadAndWaitForReady();
  QLabel* readout = window.lblCoordinates;
  QTest::mousePress(readout, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(window.isDragging);
  MoveOver(readout, {50, 12}, Qt::LeftButton);
  EXPECT_EQ(window.shpZoomBox->Rectangle().width(), 80);
  QTest::mouseRelease(readout, Qt::LeftButton, {}, QPoint(50, 12));
  EXPECT_FALSE(window.isDragging);
  EXPECT_LT(window.rndRenderer.GetWindowWidth(), 4.0);
}

TEST_F(frmQuilloryTest, AClickWithoutDragOnlyStopsTheRender) {
  LoadAndWaitForReady();
  StartRenderAndTakeOneStep();
  const double oldWidth = window.rndRenderer.GetWindowWidth();
  PressViewport({100, 100});
  EXPECT_EQ(Caption(4), "Redraw");
  ReleaseViewport({100, 100});
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  EXPECT_FALSE(window.isDragging);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), oldWidth);
  EXPECT_FALSE(window.timRenderer.IsRunning());
  QTest::qWait(50);
  EXPECT_NE(Status(), "Ready") << "the stopped render stays stopped";
}

TEST_F(frmQuilloryTest, ARightPressStopsTheRenderWithoutABox) {
  LoadAndWaitForReady();
  StartRenderAndTakeOneStep();
  PressViewport({100, 100}, Qt::RightButton);
  EXPECT_EQ(Caption(4), "Redraw");
  EXPECT_FALSE(window.isDragging);
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  MoveOverViewport({160, 140}, Qt::RightButton);
  ReleaseViewport({160, 140}, Qt::RightButton);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), 4.0);
}

TEST_F(frmQuilloryTest, TheReadoutShowsThePointAndKeepsOutOfTheMousesWay) {
  LoadAndWaitForReady();
  const float height = window.pbxOutput->ScaleHeight();
  const QPoint inside = window.pbxOutput->contentsRect().topLeft();
  MoveOverViewport({40, 20});
  EXPECT_EQ(window.lblCoordinates->text(),
            FormatCoordinates(window.rndRenderer.GetVirtualX(40), window.rndRenderer.GetVirtualY(20)));
  EXPECT_FALSE(window.lblCoordinates->text().contains("I: -")) << "rows above the centre are positive";
  EXPECT_EQ(window.lblCoordinatesShadow->text(), window.lblCoordinates->text());
  EXPECT_EQ(window.lblCoordinates->pos(), inside + QPoint(5, static_cast<int>(height) - 22 - 5));
  EXPECT_EQ(window.lblCoordinatesShadow->pos(), window.lblCoordinates->pos() + QPoint(1, 1));
  EXPECT_EQ(Status(), "Click on a point and drag the mouse to zoom into a specific area");

  MoveOverViewport({40, height - 10});
  EXPECT_EQ(window.lblCoordinates->pos(), inside + QPoint(5, 5));

  // Over the readout itself it still moves out of the way, judged by where
  // the mouse is in the viewport; its text stays.
  const QString text = window.lblCoordinates->text();
  MoveOverViewport({40, 20});
  MoveOver(window.lblCoordinates, {10, 5});
  EXPECT_EQ(window.lblCoordinates->pos(), inside + QPoint(5, 5));
  MoveOver(window.lblCoordinates, {10, 5});
  EXPECT_EQ(window.lblCoordinates->pos(), inside + QPoint(5, static_cast<int>(height) - 22 - 5));
  EXPECT_EQ(window.lblCoordinates->text(), FormatCoordinates(window.rndRenderer.GetVirtualX(40),
                                                              window.rndRenderer.GetVirtualY(20)));
  EXPECT_NE(window.lblCoordinates->text(), text);
}

TEST_F(frmQuilloryTest, HoveringHighlightsAButtonAndShowsItsTooltip) {
  LoadAndWaitForReady();
  MoveOver(window.lblButtons[2], {5, 5});
  EXPECT_EQ(window.hoveredButton, 2);
  EXPECT_EQ(window.lblButtons[2]->TextColour(), QColor(0, 0, 255));
  EXPECT_EQ(Status(), "Convert a linear cross-section of the fractal object into a melody");

  MoveOver(window.lblButtons[5], {5, 5});
  EXPECT_EQ(window.lblButtons[2]->TextColour(), QColor(Qt::black));
  EXPECT_EQ(Status(), "Export the image in the viewport to a bitmap file");

  // Another frame keeps the highlight; the Tools frame clears it.
  MoveOver(window.fraZoom, {2, 2});
  EXPECT_EQ(window.hoveredButton, 5);
  MoveOver(window.fraModes, {2, 2});
  EXPECT_EQ(window.hoveredButton, -1);
  EXPECT_FALSE(window.lblButtons[5]->IsHighlighted());
  EXPECT_EQ(Status(), "Export the image in the viewport to a bitmap file");
}

TEST_F(frmQuilloryTest, PressingAButtonStopsTheRenderButRedrawOnlyOnRelease) {
  LoadAndWaitForReady();
  StartRenderAndTakeOneStep();
  QTest::mousePress(window.lblButtons[4], Qt::LeftButton);
  EXPECT_EQ(Caption(4), "Abort") << "button 4 stops nothing on its press";
  QTest::mouseRelease(window.lblButtons[4], Qt::LeftButton);
  EXPECT_EQ(Caption(4), "Redraw");
  EXPECT_FALSE(window.timRenderer.IsRunning());

  ClickButton(4);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  ASSERT_TRUE(WaitUntil([&] { return Caption(4) == "Abort"; }, kRenderTimeout));
  QTest::mousePress(window.lblButtons[8], Qt::LeftButton);
  EXPECT_EQ(Caption(4), "Redraw");
  QTest::mouseRelease(window.lblButtons[8], Qt::LeftButton);
}

TEST_F(frmQuilloryTest, ZoomButtonsHalveAndDoubleTheView) {
  LoadAndWaitForReady();
  ClickButton(0);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), 2.0);
  EXPECT_EQ(window.txtZoom->text(), "2.00E+00X");
  ClickButton(1);
  ClickButton(1);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), 8.0);
  EXPECT_EQ(window.txtZoom->text(), "5.00E-01X");
  WaitForReady();
}

TEST_F(frmQuilloryTest, JuliaPickDrawsTheJuliaSetOfTheClickedPoint) {
  LoadAndWaitForReady();
  ClickButton(0);
  WaitForReady();
  ClickButton(3);
  EXPECT_EQ(Caption(3), "Julia Set");
  EXPECT_EQ(window.lblButtons[3]->Background(), QColor(192, 255, 192));
  EXPECT_EQ(window.mouseMode, 3);
  EXPECT_EQ(Status(), "Pick a point in the viewport to serve as the origin for the next Julia set");
  EXPECT_FALSE(window.timRenderer.IsRunning()) << "nothing is redrawn before the pick";

  const double real = window.rndRenderer.GetVirtualX(120);
  const double imaginary = window.rndRenderer.GetVirtualY(90);
  PressViewport({120, 90}, Qt::RightButton);
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  ReleaseViewport({120, 90}, Qt::RightButton);
  EXPECT_EQ(window.rndRenderer.GetFractal(), 1);
  EXPECT_EQ(window.rndRenderer.GetJuliaPointReal(), real);
  EXPECT_EQ(window.rndRenderer.GetJuliaPointImaginary(), imaginary);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), 4.0) << "drawn in the starting view";
  EXPECT_EQ(window.lblButtons[3]->Background(), QColor(192, 192, 255));
  EXPECT_EQ(window.mouseMode, -1);
  EXPECT_EQ(Caption(3), "Julia Set");
  WaitForReady();

  // From the Julia set the toggle goes straight back to the Mandelbrot set.
  ClickButton(3);
  EXPECT_EQ(Caption(3), "Mandelbrot Set");
  EXPECT_EQ(window.rndRenderer.GetFractal(), 0);
  EXPECT_EQ(window.mouseMode, -1);
}

TEST_F(frmQuilloryTest, APendingJuliaPickIsCancelledByAnyButton) {
  LoadAndWaitForReady();
  ClickButton(0);
  WaitForReady();
  ClickButton(3);
  ClickButton(3);
  EXPECT_EQ(Caption(3), "Mandelbrot Set");
  EXPECT_EQ(window.lblButtons[3]->Background(), QColor(192, 192, 255));
  EXPECT_EQ(window.rndRenderer.GetFractal(), 0);
  EXPECT_EQ(window.rndRenderer.GetWindowWidth(), 4.0) << "back to the starting view";
  EXPECT_EQ(window.mouseMode, -1);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  WaitForReady();

  // Cancelled by another button, whose own command then runs.
  ClickButton(3);
  ClickButton(10);
  EXPECT_EQ(Caption(3), "Mandelbrot Set");
  EXPECT_EQ(window.mouseMode, -1);
  EXPECT_EQ(window.txtIterations->text(), "512");
  // The viewport zooms again instead of picking.
  PressViewport({50, 50});
  EXPECT_TRUE(window.isDragging);
  ReleaseViewport({50, 50});
}

TEST_F(frmQuilloryTest, HalvingAndDoublingTheIterationLimit) {
  LoadAndWaitForReady();
  ClickButton(9);
  EXPECT_EQ(window.txtIterations->text(), "128");
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 128);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  ClickButton(10);
  ClickButton(10);
  EXPECT_EQ(window.txtIterations->text(), "512");

  window.rndRenderer.SetMaxIterations(1);
  ClickButton(9);
  EXPECT_EQ(window.txtIterations->text(), "0");

  window.rndRenderer.SetMaxIterations(1 << 30);
  ClickButton(10);
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 1 << 30) << "doubling again would not fit 32 bits";
  EXPECT_TRUE(window.timRenderer.IsRunning()) << "the render the press stopped is restarted";
}

TEST_F(frmQuilloryTest, TheIterationBoxChecksWhatIsTyped) {
  LoadAndWaitForReady();
  const auto type = [&](const char* text) {
    window.txtIterations->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return window.txtIterations->hasFocus(); }));
    window.txtIterations->selectAll();
    QTest::keyClicks(window.txtIterations, text);
    QTest::keyClick(window.txtIterations, Qt::Key_Return);
  };

  type("0");
  EXPECT_TRUE(window.pbxOutput->hasFocus());
  EXPECT_EQ(window.txtIterations->text(), "1");
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 1);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  WaitForReady();

  type("500000");
  EXPECT_EQ(window.txtIterations->text(), "131072");
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 131072);
  window.timRenderer.Stop();

  type("300");
  EXPECT_EQ(window.txtIterations->text(), "300");
  EXPECT_EQ(window.rndRenderer.GetMaxIterations(), 300);
  WaitForReady();

  type("lots");
  EXPECT_EQ(window.txtIterations->text(), "300");
  EXPECT_FALSE(window.timRenderer.IsRunning()) << "letters restore the limit without a redraw";
  QTest::qWait(20);
  EXPECT_EQ(Status(), "Ready");
}

TEST_F(frmQuilloryTest, SavePictureWritesTheViewportsPixels) {
  LoadAndWaitForReady();
  ClickButton(5);
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{"The picture was not saved."});

  dialogs.ClearHistory();
  const QString path = folder.filePath("mandelbrot.bmp");
  dialogs.AnswerSaveFile(path.toStdString());
  ClickButton(5);
  EXPECT_TRUE(dialogs.Messages().empty());
  const QImage saved(path);
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), window.pbxOutput->Picture());

  dialogs.ClearHistory();
  dialogs.AnswerSaveFile(path.toStdString());
  dialogs.AnswerMessage(MessageAnswer::No);
  ClickButton(0);
  WaitForReady();
  ClickButton(5);
  EXPECT_EQ(dialogs.Messages().back(), "The picture was not saved.");
  EXPECT_NE(QImage(path).convertToFormat(QImage::Format_RGB32), window.pbxOutput->Picture())
      << "the old picture stays in the file";
}

TEST_F(frmQuilloryTest, ClosingTheWindowEndsTheProgram) {
  LoadAndWaitForReady();
  bool closed = false;
  QObject::connect(&window, &frmQuillory::Closed, [&] { closed = true; });
  window.close();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(window.timRenderer.IsRunning());
}

}  // namespace
