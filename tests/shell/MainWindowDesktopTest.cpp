// The main window's desktop conveniences, driven as a user does. The same
// cases run on a plain and on a 2x scaled desktop.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>

#include "MemorySurface.h"
#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "ToolButton.h"
#include "ViewNavigator.h"
#include "ViewState.h"
#include "frmHelp.h"
#include "frmQuillory.h"

namespace {

class MainWindowDesktopTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  MainWindowDesktopTest() : window(dialogs, folder.path().toStdString()) {
    window.Load();
    window.showNormal();
    window.resize(700, 520);
    EXPECT_TRUE(ShowActive(&window));
    WaitForReady();
  }

  void WaitForReady() {
    ASSERT_TRUE(WaitUntil([&] { return !window.timRenderer.IsRunning() && window.lblStatus->text() == "Ready"; }))
        << window.lblStatus->text().toStdString();
  }
  double Ratio() const { return window.pbxOutput->PixelRatio(); }
  ViewState Shown() const { return ViewState::Capture(window.explorer.Renderer(), *window.pbxOutput); }
  QString Caption(int index) const { return window.lblButtons[index]->text(); }
  // A key pressed on the window, as the keyboard delivers it.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&window, key, modifiers);
  }
  void ClickButton(int index) { QTest::mouseClick(window.lblButtons[index], Qt::LeftButton); }
  void Wheel(QPointF logical, int delta) {
    const QPointF at = logical + QPointF(window.pbxOutput->contentsRect().topLeft());
    QWheelEvent wheel(at, window.pbxOutput->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.pbxOutput, &wheel);
  }
  void Mouse(QEvent::Type type, QPointF logical, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF at = logical + QPointF(window.pbxOutput->contentsRect().topLeft());
    QMouseEvent event(type, at, window.pbxOutput->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(window.pbxOutput, &event);
  }
  // The picture the engine alone draws of the shown view, at the viewport's size.
  QImage EngineDrawing() const {
    const int width = static_cast<int>(window.pbxOutput->ScaleWidth());
    const int height = static_cast<int>(window.pbxOutput->ScaleHeight());
    MemorySurface reference(width, height);
    FractalRenderer renderer;
    renderer.Initialize(reference);
    Shown().ApplyTo(renderer);
    renderer.Redraw(false);
    while (renderer.RendererCallback()) {
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.setPixel(x, y, PictureBox::ToRgb(reference.Pixel(x, y)));
    return image;
  }

  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  frmQuillory window;
};

TEST_F(MainWindowDesktopTest, TheViewportDrawsAtDevicePixelsAndTheMouseCountsThem) {
  const QSize logical = window.pbxOutput->contentsRect().size();
  const QSize picture = window.pbxOutput->Picture().size();
  EXPECT_EQ(picture, logical * Ratio());
  EXPECT_EQ(QSizeF(window.pbxOutput->ScaleWidth(), window.pbxOutput->ScaleHeight()), QSizeF(picture));
  EXPECT_EQ(window.pbxOutput->Picture(), EngineDrawing());

  // The readout names the point of the device pixel under the mouse.
  MoveOver(window.pbxOutput, InsideBorder(window.pbxOutput, {100, 300}));
  const double real = window.explorer.Renderer().GetVirtualX(100 * Ratio());
  EXPECT_TRUE(window.lblCoordinates->text().startsWith("R: " + QString::number(real, 'g', 15)))
      << window.lblCoordinates->text().toStdString();
  // The readout goes to the top half, in widget pixels, away from the mouse.
  EXPECT_LT(window.lblCoordinates->y(), logical.height() / 2);

  // The saved picture has the rendered pixels.
  const QString path = folder.filePath("device.png");
  dialogs.AnswerSaveFile(path.toStdString());
  Key(Qt::Key_S, Qt::ControlModifier);
  const QImage written = QImage(path).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(written.size(), picture);
  EXPECT_EQ(written, window.pbxOutput->Picture()) << dialogs.Messages().size();
}

TEST_F(MainWindowDesktopTest, TheWheelZoomsAboutTheMouseAndTheHandMovesTheView) {
  struct Notch {
    QPointF at;
    int delta;
    double widthFactor;
  };
  for (const Notch& notch : {Notch{{120.5, 90}, 120, 0.5}, Notch{{400, 33}, 240, 0.25}, Notch{{10, 400}, -120, 2}}) {
    const double x = notch.at.x() * Ratio();
    const double y = notch.at.y() * Ratio();
    const double real = window.explorer.Renderer().GetVirtualX(x);
    const double imaginary = window.explorer.Renderer().GetVirtualY(y);
    const double width = window.explorer.Renderer().GetWindowWidth();
    Wheel(notch.at, notch.delta);
    EXPECT_EQ(window.explorer.Renderer().GetWindowWidth(), width * notch.widthFactor);
    // Still under the mouse, to far within a pixel.
    const double pixel = window.explorer.Renderer().GetWindowWidth() / window.pbxOutput->ScaleWidth();
    EXPECT_NEAR(window.explorer.Renderer().GetVirtualX(x), real, pixel / 100);
    EXPECT_NEAR(window.explorer.Renderer().GetVirtualY(y), imaginary, pixel / 100);
    // Redrawn as after a box zoom: the pump runs a fresh render.
    EXPECT_TRUE(window.timRenderer.IsRunning());
    WaitForReady();
    EXPECT_EQ(window.pbxOutput->Picture(), EngineDrawing());
  }
}

TEST_F(MainWindowDesktopTest, TheMiddleButtonDragsThePictureAndTheViewFollows) {
  const double real = window.explorer.Renderer().GetVirtualX(200 * Ratio());
  const double imaginary = window.explorer.Renderer().GetVirtualY(150 * Ratio());
  const QColor grabbed = window.pbxOutput->Picture().pixelColor(200 * Ratio(), 150 * Ratio());
  Mouse(QEvent::MouseButtonPress, {200, 150}, Qt::MiddleButton, Qt::MiddleButton);
  EXPECT_EQ(Caption(4), "Redraw") << "the press stops the render";
  Mouse(QEvent::MouseMove, {230, 160}, Qt::NoButton, Qt::MiddleButton);
  Mouse(QEvent::MouseMove, {260, 130}, Qt::NoButton, Qt::MiddleButton);
  // While held, the picture itself moves with the hand.
  EXPECT_EQ(window.pbxOutput->Picture().pixelColor(260 * Ratio(), 130 * Ratio()), grabbed);
  Mouse(QEvent::MouseButtonRelease, {260, 130}, Qt::MiddleButton, Qt::NoButton);
  EXPECT_NEAR(window.explorer.Renderer().GetVirtualX(260 * Ratio()), real, 1e-12);
  EXPECT_NEAR(window.explorer.Renderer().GetVirtualY(130 * Ratio()), imaginary, 1e-12);
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  WaitForReady();
  EXPECT_EQ(window.pbxOutput->Picture(), EngineDrawing());
}

TEST_F(MainWindowDesktopTest, KeysDoWhatTheirButtonsDo) {
  // One row per tick, so a running render is seen between ticks.
  window.timRenderer.SetBudget(std::chrono::microseconds{0});
  // Each key from the same view as its button: the same view results.
  struct Pair {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int button;
  };
  for (const Pair& pair : {Pair{Qt::Key_Plus, Qt::NoModifier, 0}, Pair{Qt::Key_Minus, Qt::NoModifier, 1},
                           Pair{Qt::Key_Equal, Qt::NoModifier, 0}}) {
    const ViewState start = Shown();
    ClickButton(pair.button);
    const ViewState byButton = Shown();
    EXPECT_NE(byButton, start);
    Key(Qt::Key_Backspace);
    EXPECT_TRUE(Shown().ShowsSameAs(start));
    Key(pair.key, pair.modifiers);
    EXPECT_EQ(Shown(), byButton) << QKeySequence(pair.key).toString().toStdString();
    EXPECT_TRUE(window.timRenderer.IsRunning());
    WaitForReady();
  }

  // Arrows move a quarter view.
  const double centerX = window.explorer.Renderer().GetWindowCenterX();
  const double width = window.explorer.Renderer().GetWindowWidth();
  Key(Qt::Key_Right);
  EXPECT_DOUBLE_EQ(window.explorer.Renderer().GetWindowCenterX(), centerX + width / 4);
  const double centerY = window.explorer.Renderer().GetWindowCenterY();
  Key(Qt::Key_Up);
  EXPECT_DOUBLE_EQ(window.explorer.Renderer().GetWindowCenterY(), centerY - window.explorer.Renderer().GetWindowHeight() / 4);

  // Esc aborts a running render as "Abort" does; F5 and Ctrl+R redraw.
  ASSERT_TRUE(WaitUntil([&] { return Caption(4) == "Abort"; }));
  Key(Qt::Key_Escape);
  EXPECT_EQ(Caption(4), "Redraw");
  EXPECT_FALSE(window.timRenderer.IsRunning());
  for (const auto& [key, modifiers] : {std::pair{Qt::Key_F5, Qt::KeyboardModifiers()},
                                       std::pair{Qt::Key_R, Qt::KeyboardModifiers(Qt::ControlModifier)}}) {
    Key(key, modifiers);
    EXPECT_TRUE(window.timRenderer.IsRunning());
    ASSERT_TRUE(WaitUntil([&] { return Caption(4) == "Abort"; }));
    // Also while a render runs, the key redraws rather than aborts.
    Key(key, modifiers);
    EXPECT_TRUE(window.timRenderer.IsRunning());
    WaitForReady();
  }

  // Esc cancels a pending Julia pick as a second click on its button does.
  ClickButton(3);
  EXPECT_EQ(window.explorer.Mode(), MouseMode::JuliaPick);
  Key(Qt::Key_Escape);
  EXPECT_EQ(window.explorer.Mode(), MouseMode::Normal);
  EXPECT_EQ(Caption(3), "Mandelbrot Set");
  EXPECT_EQ(window.explorer.Renderer().GetFractal(), 0);
  WaitForReady();

  // Ctrl+S saves as "Save Picture..." and Ctrl+D adds as "Add": the same dialogs.
  dialogs.ClearHistory();
  Key(Qt::Key_S, Qt::ControlModifier);
  ClickButton(5);
  ASSERT_EQ(dialogs.History().size(), 4u);
  EXPECT_EQ(dialogs.History()[0].text, dialogs.History()[2].text);
  EXPECT_EQ(dialogs.History()[0].kind, ScriptedDialogs::Kind::SaveFile);
  dialogs.ClearHistory();
  Key(Qt::Key_D, Qt::ControlModifier);
  ClickButton(8);
  // Each asks for a name and, unanswered, says the bookmark was not saved.
  ASSERT_EQ(dialogs.History().size(), 4u);
  EXPECT_EQ(dialogs.History()[0].kind, ScriptedDialogs::Kind::Input);
  EXPECT_EQ(dialogs.History()[2].text, dialogs.History()[0].text);
  EXPECT_EQ(dialogs.History()[3].text, dialogs.History()[1].text);

  // Tab reaches the tool buttons; Space presses the focused one.
  window.lblButtons[0]->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(window.lblButtons[0]->hasFocus());
  EXPECT_TRUE(window.lblButtons[0]->focusPolicy() & Qt::TabFocus);
  const double before = window.explorer.Renderer().GetWindowWidth();
  QTest::keyClick(window.lblButtons[0], Qt::Key_Space);
  EXPECT_EQ(window.explorer.Renderer().GetWindowWidth(), before / 2);
  WaitForReady();

  // Tooltips name the keys; the tooltip text the status line repeats stays.
  EXPECT_EQ(window.lblButtons[0]->toolTip(), "Zoom in 2X");
  EXPECT_EQ(window.lblButtons[0]->KeyHint(), "+");
  EXPECT_EQ(window.lblButtons[5]->KeyHint(), "Ctrl+S");
  EXPECT_TRUE(window.lblButtons[4]->KeyHint().contains("F5"));
  QTest::mouseMove(window.lblButtons[5]);
  MoveOver(window.lblButtons[5], {3, 3});
  EXPECT_EQ(window.lblStatus->text(), "Export the image in the viewport to a bitmap file");

  // F1 opens the help, which names the keys.
  Key(Qt::Key_F1);
  ASSERT_TRUE(WaitUntil([&] { return window.HelpWindow() && window.HelpWindow()->isVisible(); }));
  for (const char* key : {"Backspace", "Alt+Right", "Ctrl+S", "Ctrl+D", "Ctrl+L", "F5", "Esc", "data.mdb"})
    EXPECT_TRUE(window.HelpWindow()->txtHelp->toPlainText().contains(key)) << key;
  window.HelpWindow()->close();
}

TEST_F(MainWindowDesktopTest, BackAndForwardRestoreEveryViewAndItsPicture) {
  std::vector<ViewState> views{Shown()};
  std::vector<QImage> pictures{window.pbxOutput->Picture()};
  const auto keep = [&] {
    WaitForReady();
    views.push_back(Shown());
    pictures.push_back(window.pbxOutput->Picture());
  };
  // A box zoom, the wheel, an arrow, the iteration box, a Julia pick.
  QTest::mousePress(window.pbxOutput, Qt::LeftButton, {}, InsideBorder(window.pbxOutput, {150, 120}));
  MoveOver(window.pbxOutput, InsideBorder(window.pbxOutput, {190, 140}), Qt::LeftButton);
  QTest::mouseRelease(window.pbxOutput, Qt::LeftButton, {}, InsideBorder(window.pbxOutput, {190, 140}));
  keep();
  Wheel({50, 60}, 120);
  keep();
  Key(Qt::Key_Down);
  keep();
  TypeAndLeave(window.txtIterations, "700");
  keep();
  ClickButton(3);
  QTest::mouseClick(window.pbxOutput, Qt::LeftButton, {}, InsideBorder(window.pbxOutput, {100, 100}));
  keep();
  ASSERT_EQ(views.back().fractalType, 1);
  ASSERT_EQ(views[4].maxIterations, 700);
  for (std::size_t level = 1; level < views.size(); ++level) EXPECT_NE(views[level], views[level - 1]);

  for (int level = static_cast<int>(views.size()) - 2; level >= 0; --level) {
    Key(level % 2 ? Qt::Key_Backspace : Qt::Key_Left, level % 2 ? Qt::NoModifier : Qt::AltModifier);
    EXPECT_TRUE(window.timRenderer.IsRunning()) << "back redraws";
    WaitForReady();
    EXPECT_TRUE(Shown().ShowsSameAs(views[level])) << level;
    EXPECT_EQ(Caption(3), views[level].fractalType == 1 ? "Julia Set" : "Mandelbrot Set");
    EXPECT_EQ(window.txtIterations->text(), QString::number(views[level].maxIterations));
    EXPECT_EQ(window.pbxOutput->Picture(), pictures[level]) << level;
  }
  Key(Qt::Key_Backspace);
  EXPECT_FALSE(window.timRenderer.IsRunning()) << "nothing before the first view";
  for (std::size_t level = 1; level < views.size(); ++level) {
    Key(Qt::Key_Right, Qt::AltModifier);
    WaitForReady();
    EXPECT_EQ(window.pbxOutput->Picture(), pictures[level]) << level;
  }
  EXPECT_EQ(window.Navigator().History().Size(), views.size());
}

TEST_F(MainWindowDesktopTest, ADroppedPngBringsBackItsView) {
  ClickButton(0);
  WaitForReady();
  Key(Qt::Key_Right);
  WaitForReady();
  const ViewState saved = Shown();
  const QString path = folder.filePath("kept.png");
  dialogs.AnswerSaveFile(path.toStdString());
  Key(Qt::Key_S, Qt::ControlModifier);
  ClickButton(3);
  ClickButton(3);  // back to the starting view
  WaitForReady();
  ASSERT_NE(Shown(), saved);

  QMimeData bitmapData;
  bitmapData.setUrls({QUrl::fromLocalFile(folder.filePath("missing.png"))});
  QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &bitmapData, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &refused);
  EXPECT_FALSE(refused.isAccepted()) << "a file without a view is no drop";

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  EXPECT_TRUE(window.timRenderer.IsRunning());
  WaitForReady();
  EXPECT_EQ(Shown(), saved);
  EXPECT_EQ(window.pbxOutput->Picture(), QImage(path).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
