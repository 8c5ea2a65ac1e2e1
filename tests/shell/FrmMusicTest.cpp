#include <gtest/gtest.h>

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <sstream>

#include "Commands.h"
#include "PictureBox.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "ShellTesting.h"
#include "frmMusic.h"

namespace {

class FrmMusicTest : public ::testing::Test {
 protected:
  FrmMusicTest() : window(new frmMusic(service, dialogs, folder.Path())) {}
  ~FrmMusicTest() override {
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The main window's hand-over after a trace; the window is then shown.
  void HandOver(double re1, double im1, double re2, double im2, std::int32_t limit = 256) {
    window->SetRegion(re1, im1, re2, im2, limit);
    window->StartMelody(1, false);
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_TRUE(ShowActive(window));
  }

  [[nodiscard]] bool WaitUntilIdle() {
    return WaitUntil([&] { return !window->timRenderer.isActive() && window->Model().Position() == 0.0; });
  }

  TemporaryFolder folder;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  QPointer<frmMusic> window;
};

TEST_F(FrmMusicTest, LoadsWithTheDefaultsAndItsControlsReachTheModel) {
  EXPECT_EQ(window->cboScaleType->currentText(), "Minor Pentatonic");
  EXPECT_EQ(window->cboPatch->count(), 128);
  EXPECT_EQ(window->cboPatch->currentText(), "Atmosphere");
  EXPECT_EQ(window->txtBeats->text(), "20");
  EXPECT_FALSE(window->timRenderer.isActive());
  EXPECT_EQ(service.OpenCount(), 1U);
  // A dragged thumb redraws only the mountain until it is released.
  const QImage atTop = window->pbxMountain->Picture().copy();
  window->scrMountain->setSliderDown(true);
  window->scrMountain->setValue(160);
  EXPECT_NE(window->pbxMountain->Picture(), atTop);
  EXPECT_EQ(window->Model().Controls().mountainBar, 20);
  window->scrMountain->setSliderDown(false);
  EXPECT_EQ(window->Model().Controls().mountainBar, 160);

  ASSERT_TRUE(ShowActive(window));
  TypeAndLeave(window->txtBeats, "2.5");
  EXPECT_EQ(window->txtBeats->text(), "3");
  // The tempo sets the run's interval; a retyped limit redraws nothing.
  TypeAndLeave(window->txtTempo, "400");
  EXPECT_EQ(window->timRenderer.interval(), 38);  // 37.5 rounds to even
  TypeAndLeave(window->txtMaxIterations, "300");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(window->Model().LastMaxIterations(), 300);
  const auto before = service.DeliveredMessages().size();
  TypeAndLeave(window->txtMaxIterations, "300");
  EXPECT_EQ(service.DeliveredMessages().size(), before);

  // Typed list texts fall back to the first item.
  TypeAndLeave(window->cboComplexity->lineEdit(), "seven");
  EXPECT_EQ(window->cboComplexity->currentText(), "1");
  TypeAndLeave(window->cboScaleType->lineEdit(), "major pentatonic");
  EXPECT_EQ(window->cboScaleType->currentIndex(), 3);
  EXPECT_EQ(window->Model().Controls().scaleType, 3);
  ASSERT_TRUE(WaitUntilIdle());

  service.ClearCalls();
  window->cboPatch->setCurrentIndex(40);
  const auto sent = service.DeliveredMessages();
  ASSERT_EQ(sent.size(), 32U);
  EXPECT_EQ(sent.back(), 0xCFU | (40U << 8));
  EXPECT_FALSE(window->timRenderer.isActive()) << "a new instrument redraws nothing";
}

TEST_F(FrmMusicTest, ADrawnMelodysSongEqualsTheHeadlessCommandsFile) {
  HandOver(-0.75, 0.1, -0.7, 0.35, 400);
  // Drawn: level 0, in white, reaches the right edge; the tracer is back at the end.
  const QImage picture = window->pbxMelody->Picture();
  int whiteAtRight = 0;
  for (int y = 0; y < picture.height(); ++y)
    whiteAtRight += picture.pixel(picture.width() - 1, y) == qRgb(255, 255, 255);
  EXPECT_GT(whiteAtRight, 0);
  EXPECT_DOUBLE_EQ(window->linTracer->Start().x(), 305.0);

  TypeAndLeave(window->txtBeats, "3");
  TypeAndLeave(window->txtTempo, "150");
  window->cboComplexity->setCurrentIndex(1);
  window->cboScaleType->setCurrentIndex(0);
  window->cboKey->setCurrentIndex(2);
  window->cboOctave->setCurrentIndex(2);
  window->cboPatch->setCurrentIndex(40);
  window->scrMountain->setValue(100);
  ASSERT_TRUE(WaitUntilIdle());

  const std::string fromWindow = folder.File("window.mid");
  dialogs.AnswerSaveFile(fromWindow);
  QTest::mouseClick(window->cmdSaveSong, Qt::LeftButton);
  ASSERT_EQ(dialogs.Messages().back(), "The song was saved successfully.");
  const std::string fromCommand = folder.File("command.mid");
  std::ostringstream out, errors;
  const std::vector<std::string> arguments{
      "--from", "-0.75,0.1", "--to", "-0.7,0.35", "--max-iter", "400", "--measures", "3", "--tempo", "150",
      "--levels", "2", "--scale", "Major", "--key", "D", "--octave", "3", "--instrument", "40", "--flattening", "100",
      "--out", fromCommand};
  ASSERT_EQ(RunCommand("melody", arguments, out, errors), kExitSuccess) << errors.str();
  const auto windowBytes = ReadBytes(fromWindow);
  EXPECT_GT(windowBytes.size(), 100U);
  EXPECT_EQ(FirstDifference(windowBytes, ReadBytes(fromCommand)), "");
}

TEST_F(FrmMusicTest, ClosingDuringAWaitUnloadsAfterTheHandlerAndClosingWhilePlayingSilences) {
  HandOver(-1.8, 0.05, 0.35, 0.62);
  bool aliveDuringHandler = false;
  // Play waits half a second before it starts; Close arrives inside that wait.
  QTimer::singleShot(100, window.data(), [&] {
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    aliveDuringHandler = !window.isNull() && window->isHidden();
  });
  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  EXPECT_TRUE(aliveDuringHandler);
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->timRenderer.isActive());
  // A caller that shows the window now finds it unloaded.
  EXPECT_EQ(window->exec(), QDialog::Rejected);
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->isHidden());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(service.OpenCount(), 0U);
  // Nothing sounded: the run never started.
  for (std::uint32_t message : service.DeliveredMessages()) EXPECT_FALSE(IsNoteOn(message));

  // Closing a fresh window while it plays silences it and unloads it.
  window = new frmMusic(service, dialogs, folder.Path());
  HandOver(-1.8, 0.05, 0.35, 0.62);
  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  ASSERT_TRUE(window->timRenderer.isActive());
  ASSERT_TRUE(WaitUntil([&] {
    const auto sent = service.DeliveredMessages();
    return std::any_of(sent.begin(), sent.end(), IsNoteOn);
  }, 5000)) << "Play sounds the melody";
  service.ClearCalls();
  window->close();
  EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }, 5000));
  EXPECT_EQ(service.OpenCount(), 0U);
  for (const auto& call : service.Calls())
    EXPECT_FALSE(call.call == RecordingMidiService::Call::Send && IsNoteOn(call.message));
}

}  // namespace
