#include "frmQuillory.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>

#include "MelodizerSettings.h"
#include "MemorySurface.h"
#include "PictureBox.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "ToolButton.h"
#include "ViewState.h"
#include "frmBookmarks.h"
#include "frmMusic.h"
#include "frmOrbits.h"

namespace {

// The main window end to end, on a plain and on a 2x scaled desktop: its
// controls reach the model and the model's view reaches the screen. The
// behaviour in detail is the model's tests'.
class frmQuilloryTest : public ::testing::Test {
 protected:
  frmQuilloryTest() : window(dialogs, folder.path().toStdString()) {
    window.SetMidiService(midi);
    window.Load();
    EXPECT_TRUE(ShowActive(&window));
    WaitForReady();
  }
  // A redraw only arms the pump; "Ready" counts once the pump has stopped.
  void WaitForReady() {
    ASSERT_TRUE(WaitUntil([&] { return !window.timRenderer.IsRunning() && Status() == "Ready"; }))
        << Status().toStdString();
  }
  // The picture the engine alone draws of the shown view, at the viewport's size.
  QImage EngineDrawing() const {
    MemorySurface reference(static_cast<int>(window.pbxOutput->ScaleWidth()),
                            static_cast<int>(window.pbxOutput->ScaleHeight()));
    FractalRenderer renderer;
    renderer.Initialize(reference);
    Shown().ApplyTo(renderer);
    renderer.Redraw(false);
    while (renderer.RendererCallback()) {
    }
    QImage image(reference.Width(), reference.Height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, PictureBox::ToRgb(reference.Pixel(x, y)));
    return image;
  }
  void Drag(Qt::MouseButton button, QPointF from, QPointF to, const std::function<void()>& whileHeld = [] {}) {
    const QPoint end = OnViewport(to);
    QTest::mousePress(window.pbxOutput, button, {}, OnViewport(from));
    // QTest's own move holds no button.
    QMouseEvent move(QEvent::MouseMove, end, window.pbxOutput->mapToGlobal(end), {}, button, {});
    QApplication::sendEvent(window.pbxOutput, &move);
    whileHeld();
    QTest::mouseRelease(window.pbxOutput, button, {}, end);
  }

  QString Status() const { return window.lblStatus->text(); }
  const FractalRenderer& Renderer() const { return window.explorer.Renderer(); }
  ViewState Shown() const { return ViewState::Capture(Renderer(), *window.pbxOutput); }
  double Ratio() const { return window.pbxOutput->PixelRatio(); }
  QPoint OnViewport(QPointF inside) const {
    return (inside + QPointF(window.pbxOutput->contentsRect().topLeft())).toPoint();
  }
  ToolButton* Button(Tool tool) const { return window.lblButtons[static_cast<int>(tool)]; }
  void Click(Tool tool) { QTest::mouseClick(Button(tool), Qt::LeftButton); }
  void Key(QKeyCombination key) { QTest::keyClick(&window, key.key(), key.keyboardModifiers()); }

  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  RecordingMidiService midi;
  frmQuillory window;
};

TEST_F(frmQuilloryTest, StartsOnTheEnginesPictureWhichABoxTheWheelAndTheMiddleButtonMoveAndCtrlSSaves) {
  EXPECT_TRUE(window.isMaximized());
  EXPECT_EQ(window.txtIterations->text(), "256");
  EXPECT_EQ(window.txtZoom->text(), "1.00E+00X");
  EXPECT_EQ(window.pbxOutput->Picture().size(), window.pbxOutput->contentsRect().size() * Ratio());
  EXPECT_EQ(window.pbxOutput->Picture(), EngineDrawing());

  const double pixel = Renderer().GetWindowWidth() / window.pbxOutput->ScaleWidth();
  Drag(Qt::LeftButton, {120, 90}, {150, 93}, [&] {
    const QPoint edge = (QPointF(90, 90) * Ratio()).toPoint();
    EXPECT_EQ(window.pbxOutput->ComposedPicture().pixel(edge), window.pbxOutput->Picture().pixel(edge) ^ 0x00FFFFFF);
  });
  EXPECT_FALSE(window.shpZoomBox->IsVisible());
  EXPECT_DOUBLE_EQ(Renderer().GetWindowWidth(), 60 * Ratio() * pixel);
  WaitForReady();

  // The wheel zooms about the device pixel under the mouse.
  const QPointF mouse = QPointF(120.5, 90) * Ratio();
  const double real = Renderer().GetVirtualX(mouse.x());
  const double width = Renderer().GetWindowWidth();
  const QPointF at = QPointF(120.5, 90) + QPointF(window.pbxOutput->contentsRect().topLeft());
  QWheelEvent wheel(at, window.pbxOutput->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window.pbxOutput, &wheel);
  EXPECT_EQ(Renderer().GetWindowWidth(), width / 2);
  EXPECT_NEAR(Renderer().GetVirtualX(mouse.x()), real, width / 2 / window.pbxOutput->ScaleWidth() / 100);
  WaitForReady();

  // The view follows the middle button.
  const double imaginary = Renderer().GetVirtualY(100 * Ratio());
  Drag(Qt::MiddleButton, {150, 100}, {180, 80});
  EXPECT_NEAR(Renderer().GetVirtualY(80 * Ratio()), imaginary, 1e-12);
  WaitForReady();
  EXPECT_EQ(window.pbxOutput->Picture(), EngineDrawing());

  const QString path = folder.filePath("view.bmp");
  dialogs.AnswerSaveFile(path.toStdString());
  Key(Qt::CTRL | Qt::Key_S);
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), window.pbxOutput->Picture());
  bool closed = false;
  QObject::connect(&window, &frmQuillory::Closed, [&] { closed = true; });
  window.explorer.RedrawView();
  window.close();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(window.timRenderer.IsRunning());
}

TEST_F(frmQuilloryTest, BackForwardAndADroppedPictureRestoreAViewAndKeysDoWhatTheirButtonsDo) {
  std::vector<QImage> pictures{window.pbxOutput->Picture()};
  Key(Qt::Key_Down);
  WaitForReady();
  pictures.push_back(window.pbxOutput->Picture());
  Click(Tool::FractalToggle);
  QTest::mouseClick(window.pbxOutput, Qt::RightButton, {}, OnViewport({120, 90}));
  WaitForReady();
  pictures.push_back(window.pbxOutput->Picture());
  const ViewState julia = Shown();
  const QString path = folder.filePath("julia.png");
  dialogs.AnswerSaveFile(path.toStdString());
  Key(Qt::CTRL | Qt::Key_S);

  for (const auto& [key, level] : {std::pair{Qt::ALT | Qt::Key_Left, 1}, {Qt::ALT | Qt::Key_Left, 0},
                                   {Qt::ALT | Qt::Key_Right, 1}, {Qt::ALT | Qt::Key_Right, 2}}) {
    Key(key);
    WaitForReady();
    EXPECT_EQ(window.pbxOutput->Picture(), pictures[level]) << level;
    EXPECT_EQ(Button(Tool::FractalToggle)->text(), level == 2 ? "Julia Set" : "Mandelbrot Set");
  }

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  WaitForReady();
  EXPECT_EQ(Shown(), julia);
  EXPECT_EQ(window.pbxOutput->Picture(), QImage(path).convertToFormat(QImage::Format_RGB32));

  for (const auto& [key, tool] : {std::pair{QKeyCombination(Qt::Key_Plus), Tool::ZoomIn},
                                  {QKeyCombination(Qt::Key_Equal), Tool::ZoomIn}, {Qt::Key_Minus, Tool::ZoomOut}}) {
    Click(tool);
    const ViewState byButton = Shown();
    // Back, else the key's zoom would add to the button's.
    Key(Qt::Key_Backspace);
    Key(key);
    EXPECT_EQ(Shown(), byButton) << QKeySequence(key).toString().toStdString();
    WaitForReady();
  }
  // One row per tick, so a running render is seen between ticks.
  window.timRenderer.SetBudget(std::chrono::microseconds{0});
  Click(Tool::RedrawAbort);
  // Esc aborts as "Abort" does; F5 and Ctrl+R redraw, also while a render runs.
  ASSERT_TRUE(WaitUntil([&] { return Button(Tool::RedrawAbort)->text() == "Abort"; }));
  Key(Qt::Key_Escape);
  EXPECT_EQ(Button(Tool::RedrawAbort)->text(), "Redraw");
  Key(Qt::Key_F5);
  ASSERT_TRUE(WaitUntil([&] { return Button(Tool::RedrawAbort)->text() == "Abort"; }));
  Key(Qt::CTRL | Qt::Key_R);
  EXPECT_TRUE(window.timRenderer.IsRunning());

  // Enter takes a typed limit within its bounds and hands the focus to the viewport.
  window.txtIterations->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return window.txtIterations->hasFocus(); }));
  window.txtIterations->selectAll();
  QTest::keyClicks(window.txtIterations, "500000");
  QTest::keyClick(window.txtIterations, Qt::Key_Return);
  EXPECT_TRUE(window.pbxOutput->hasFocus());
  EXPECT_EQ(Renderer().GetMaxIterations(), 131072);
}

// The hand-offs: an added bookmark back through the dialog, a traced line
// to the Melodizer, and the Orbiter.
TEST_F(frmQuilloryTest, HandsABookmarkThroughTheDialogATraceToTheMelodizerAndOpensTheOrbiter) {
  // Loaded at start-up, as the program does, before the bookmark is added.
  window.LoadBookmarksDialog();
  window.explorer.ShowBookmark({"J", 0.25, -0.5, 2.0, 300, 1, -0.8, 0.156});
  const ViewState julia = Shown();
  dialogs.AnswerInput("Zz Julia");
  Key(Qt::CTRL | Qt::Key_D);
  window.explorer.ShowBookmark({"M", 0, 0, 4, 256, 0, 0, 0});
  WhenModalShows<frmBookmarks>([&](frmBookmarks& dialog) {
    QListWidget* list = dialog.lstBookmarks;
    const auto named = [list] { return list->findItems("Zz Julia", Qt::MatchExactly); };
    // A dialog the bookmark never reaches is closed, so the test fails instead of waiting on it.
    if (!WaitUntil([&] { return !named().empty(); }, 5000)) dialog.close();
    for (const QListWidgetItem* item : named())
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    QTest::mouseClick(dialog.cmdLoad, Qt::LeftButton);
  });
  Key(Qt::CTRL | Qt::Key_L);
  EXPECT_EQ(Shown(), julia);
  WaitForReady();
  EXPECT_TRUE(WaitUntil([&] { return window.BookmarksDialog() == nullptr; })) << "leaving the dialog unloads it";

  Click(Tool::Melodizer);
  EXPECT_EQ(Button(Tool::Melodizer)->GetLook(), ToolButton::Look::ModePending);
  const QPointF from = QPointF(40, 30) * Ratio();
  const QPointF to = QPointF(200, 120) * Ratio();
  MelodizerSettings expected;
  expected.SetRegion(Renderer().GetVirtualX(from.x()), Renderer().GetVirtualY(from.y()),
                     Renderer().GetVirtualX(to.x()), Renderer().GetVirtualY(to.y()), 300);
  bool tracedWhileOpen = false;
  WhenModalShows<frmMusic>([&](frmMusic& melodizer) {
    tracedWhileOpen = window.linTracer->IsVisible();
    const MelodizerSettings& controls = melodizer.Model().Controls();
    EXPECT_EQ(controls.firstPointReal, expected.firstPointReal);
    EXPECT_EQ(controls.secondPointImaginary, expected.secondPointImaginary);
    EXPECT_EQ(melodizer.rndRenderer().GetJuliaPointImaginary(), 0.156);
    melodizer.close();
  });
  Drag(Qt::LeftButton, {40, 30}, {200, 120});
  EXPECT_TRUE(tracedWhileOpen);
  EXPECT_EQ(Button(Tool::Melodizer)->GetLook(), ToolButton::Look::Normal);
  EXPECT_FALSE(window.linTracer->IsVisible());

  bool sawOrbiter = false;
  WhenModalShows<frmOrbits>([&](frmOrbits& orbiter) {
    sawOrbiter = true;
    orbiter.close();
  });
  Click(Tool::Orbiter);
  EXPECT_TRUE(sawOrbiter);
}

}  // namespace
