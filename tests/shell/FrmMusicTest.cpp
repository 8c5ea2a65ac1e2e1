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
#include "ShellTesting.h"
#include "SongBytes.h"
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
    ASSERT_TRUE(WaitUntil([&] { return !window->timRenderer.isActive() && window->Model().Position() == 0.0; }));
    ASSERT_TRUE(ShowActive(window));
  }
  bool Sounded() const {
    const auto sent = service.DeliveredMessages();
    return std::any_of(sent.begin(), sent.end(), IsNoteOn);
  }

  TemporaryFolder folder;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  QPointer<frmMusic> window;
};

TEST_F(FrmMusicTest, LoadsWithTheDefaultsAndItsControlsReachTheModelAndTheOutput) {
  EXPECT_EQ(window->cboScaleType->currentText(), "Minor Pentatonic");
  EXPECT_EQ(window->cboPatch->count(), 128);
  EXPECT_EQ(window->cboPatch->currentText(), "Atmosphere");
  EXPECT_EQ(window->txtBeats->text(), "20");
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
  TypeAndLeave(window->txtTempo, "400");
  EXPECT_EQ(window->timRenderer.interval(), 38);  // 37.5 rounds to even
  TypeAndLeave(window->cboScaleType->lineEdit(), "major pentatonic");
  EXPECT_EQ(window->Model().Controls().scaleType, 3);
  service.ClearCalls();
  window->cboPatch->setCurrentIndex(40);
  const auto sent = service.DeliveredMessages();
  ASSERT_EQ(sent.size(), 32U) << "bank and program on all 16 channels";
  EXPECT_EQ(sent.back(), 0xCFU | (40U << 8));
}

TEST_F(FrmMusicTest, ADrawnMelodysSongEqualsTheHeadlessCommandsFile) {
  HandOver(-0.75, 0.1, -0.7, 0.35, 400);
  // Drawn: level 0, in white, reaches the right edge; the tracer is back at the end.
  const QImage picture = window->pbxMelody->Picture();
  int whiteAtRight = 0;
  for (int y = 0; y < picture.height(); ++y) whiteAtRight += picture.pixel(picture.width() - 1, y) == qRgb(255, 255, 255);
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
  ASSERT_TRUE(WaitUntil([&] { return !window->timRenderer.isActive(); }));
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
  EXPECT_GT(ReadBytes(fromWindow).size(), 100U);
  EXPECT_EQ(FirstDifference(ReadBytes(fromWindow), ReadBytes(fromCommand)), "");
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
  // A caller that shows the window now finds it unloaded.
  EXPECT_EQ(window->exec(), QDialog::Rejected);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(service.OpenCount(), 0U);
  EXPECT_FALSE(Sounded()) << "the run never started";

  window = new frmMusic(service, dialogs, folder.Path());
  HandOver(-1.8, 0.05, 0.35, 0.62);
  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return Sounded(); }, 5000)) << "Play sounds the melody";
  service.ClearCalls();
  window->close();
  EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }, 5000));
  EXPECT_EQ(service.OpenCount(), 0U);
  for (const auto& call : service.Calls())
    EXPECT_FALSE(call.call == RecordingMidiService::Call::Send && IsNoteOn(call.message));
}

}  // namespace
