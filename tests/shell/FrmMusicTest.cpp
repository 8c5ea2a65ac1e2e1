#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "Commands.h"
#include "PictureBox.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "WidgetTesting.h"
#include "frmMusic.h"

namespace {

struct MidiMessage {
  int status;
  int data1;
  int data2;
  int Kind() const { return status & 0xF0; }
  int Channel() const { return status & 0x0F; }
  // The output ends a note with a Note On of velocity 0.
  bool IsNoteOn() const { return Kind() == 0x90 && data2 > 0; }
  bool IsNoteOff() const { return Kind() == 0x80 || (Kind() == 0x90 && data2 == 0); }
};

std::vector<MidiMessage> Delivered(const RecordingMidiService& service) {
  std::vector<MidiMessage> messages;
  for (std::uint32_t packed : service.DeliveredMessages())
    messages.push_back({static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                        static_cast<int>((packed >> 16) & 0xFF)});
  return messages;
}

// A note event as both the live output and a song file can show it.
struct NoteEvent {
  bool on;
  int note;
  bool operator==(const NoteEvent&) const = default;
};

std::uint32_t ReadVarLen(const std::vector<std::uint8_t>& bytes, std::size_t& at) {
  std::uint32_t value = 0;
  while (at < bytes.size()) {
    const std::uint8_t byte = bytes[at++];
    value = (value << 7) | (byte & 0x7F);
    if (!(byte & 0x80)) break;
  }
  return value;
}

// The note events of a one-track song file, in order.
std::vector<NoteEvent> SongNotes(const std::vector<std::uint8_t>& file) {
  std::vector<NoteEvent> notes;
  std::size_t at = 22;  // header chunk, then the track chunk's tag and length
  while (at < file.size()) {
    ReadVarLen(file, at);
    const std::uint8_t status = file.at(at++);
    if (status == 0xFF) {
      at++;
      at += ReadVarLen(file, at);
    } else if ((status & 0xF0) == 0xC0) {
      at += 1;
    } else {
      const int note = file.at(at);
      const int velocity = file.at(at + 1);
      at += 2;
      notes.push_back({(status & 0xF0) == 0x90 && velocity > 0, note});
    }
  }
  return notes;
}

class FrmMusicTest : public ::testing::Test {
 protected:
  FrmMusicTest() : window(new frmMusic(service, dialogs, folder.Path())) {}
  ~FrmMusicTest() override {
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The main window's hand-over after a trace.
  void HandOver(double re1, double im1, double re2, double im2, std::int32_t limit = 256) {
    window->SetRegion(re1, im1, re2, im2, limit);
    window->StartMelody(1, false);
    ASSERT_TRUE(WaitUntilIdle());
  }

  [[nodiscard]] bool WaitUntilIdle() {
    return WaitUntil([&] { return !window->timRenderer.isActive() && window->Model().Position() == 0.0; });
  }

  void ShowActive() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.data()));
  }

  // Types into a box as a user does and leaves it with Tab.
  void TypeAndLeave(QLineEdit* box, const QString& text) {
    box->setFocus(Qt::TabFocusReason);
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
  }

  void TypeIntoList(QComboBox* list, const QString& text) {
    list->setFocus(Qt::TabFocusReason);
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), text);
    QTest::keyClick(list->lineEdit(), Qt::Key_Tab);
  }

  // The program sent to channels 0, 1, ... in turn, each after its bank.
  std::vector<int> ProgramsSent() const {
    std::vector<int> programs;
    const auto messages = Delivered(service);
    for (std::size_t i = 0; i < messages.size(); ++i) {
      if (messages[i].Kind() != 0xC0) continue;
      EXPECT_EQ(messages[i].Channel(), static_cast<int>(programs.size()));
      EXPECT_TRUE(i > 0 && messages[i - 1].Kind() == 0xB0 && messages[i - 1].data1 == 0);
      programs.push_back(messages[i].data1);
    }
    EXPECT_EQ(messages.size(), 2 * programs.size()) << "nothing else is sent";
    return programs;
  }

  int SentMessages() const { return static_cast<int>(service.DeliveredMessages().size()); }

  TemporaryFolder folder;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  QPointer<frmMusic> window;
};

TEST_F(FrmMusicTest, LoadsWithTheDefaultsAndSendsTheInstrumentOnEveryChannel) {
  EXPECT_EQ(window->windowTitle(), "Melodizer");
  EXPECT_EQ(window->size(), QSize(318, 426));
  EXPECT_EQ(window->pbxMelody->geometry(), QRect(4, 4, 309, 113));
  EXPECT_EQ(window->pbxMelody->ScaleWidth(), 305.0F);
  EXPECT_EQ(window->pbxMelody->ScaleHeight(), 109.0F);
  EXPECT_EQ(window->cboKey->currentText(), "C");
  EXPECT_EQ(window->cboOctave->currentText(), "1");
  EXPECT_EQ(window->cboScaleType->currentText(), "Minor Pentatonic");
  EXPECT_EQ(window->cboScaleType->itemText(3), "Major Pentatonic ");
  EXPECT_EQ(window->cboComplexity->currentText(), "1");
  EXPECT_EQ(window->cboPatch->count(), 128);
  EXPECT_EQ(window->cboPatch->currentText(), "Atmosphere");
  EXPECT_EQ(window->cboPatch->currentIndex(), 99);
  EXPECT_EQ(window->txtBeats->text(), "20");
  EXPECT_EQ(window->txtTempo->text(), "120");
  EXPECT_EQ(window->txtMaxIterations->text(), "256");
  EXPECT_EQ(window->scrMountain->value(), 20);
  EXPECT_EQ(window->cmdSaveSong->text(), "S&ave Song");
  EXPECT_FALSE(window->timRenderer.isActive());

  EXPECT_EQ(ProgramsSent(), std::vector<int>(16, 99));
  EXPECT_EQ(service.OpenCount(), 1U);
}

TEST_F(FrmMusicTest, TypedValuesAreCorrectedWhenTheBoxIsLeft) {
  ShowActive();
  struct Case {
    QLineEdit* frmMusic::*box;
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {
      {&frmMusic::txtBeats, "2.5", "3"},           {&frmMusic::txtBeats, "0", "1"},
      {&frmMusic::txtBeats, "150", "100"},         {&frmMusic::txtBeats, "many", "20"},
      {&frmMusic::txtMaxIterations, "10", "32"},   {&frmMusic::txtMaxIterations, "100000", "65536"},
      {&frmMusic::txtMaxIterations, "lots", "32"}, {&frmMusic::txtTempo, "fast", "80"},
      {&frmMusic::txtTempo, "10", "30"},           {&frmMusic::txtTempo, "1000", "400"},
  };
  for (const Case& c : cases) {
    TypeAndLeave(window->*c.box, QString::fromUtf8(c.typed));
    EXPECT_EQ((window->*c.box)->text(), c.shown) << c.typed;
  }
}

TEST_F(FrmMusicTest, TempoSetsTheRunIntervalAndRetypedLimitsRedrawNothing) {
  ShowActive();
  TypeAndLeave(window->txtTempo, "400");
  EXPECT_EQ(window->timRenderer.interval(), 38);  // 37.5 rounds to even
  TypeAndLeave(window->txtTempo, "30");
  EXPECT_EQ(window->timRenderer.interval(), 500);

  // A new limit starts a run, which begins by silencing the device.
  TypeAndLeave(window->txtMaxIterations, "300");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(window->Model().LastMaxIterations(), 300);
  const int before = SentMessages();
  TypeAndLeave(window->txtMaxIterations, "300");
  EXPECT_EQ(SentMessages(), before);
}

TEST_F(FrmMusicTest, ListsFallBackToTheFirstItemAndTheInstrumentIsSentAtOnce) {
  ShowActive();
  TypeIntoList(window->cboComplexity, "seven");
  EXPECT_EQ(window->cboComplexity->currentIndex(), 0);
  EXPECT_EQ(window->cboComplexity->currentText(), "1");

  TypeIntoList(window->cboScaleType, "major pentatonic");
  EXPECT_EQ(window->cboScaleType->currentIndex(), 3);
  EXPECT_EQ(window->Model().Controls().scaleType, 3);
  ASSERT_TRUE(WaitUntilIdle());

  service.ClearCalls();
  window->cboPatch->setCurrentIndex(40);
  EXPECT_EQ(ProgramsSent(), std::vector<int>(16, 40));
  EXPECT_FALSE(window->timRenderer.isActive()) << "a new instrument redraws nothing";
}

TEST_F(FrmMusicTest, TheMountainFollowsTheBarAndADraggedThumbOnlyRedrawsIt) {
  const QImage atTop = window->pbxMountain->Picture().copy();
  window->scrMountain->setSliderDown(true);
  window->scrMountain->setValue(160);
  const QImage atBottom = window->pbxMountain->Picture().copy();
  EXPECT_NE(atTop, atBottom);
  EXPECT_EQ(window->Model().Controls().mountainBar, 20);  // still dragging

  window->scrMountain->setSliderDown(false);
  EXPECT_EQ(window->Model().Controls().mountainBar, 160);

  // At the bottom the red curve runs along the white diagonal: the middle
  // column is red within a pixel of the diagonal.
  const int width = atBottom.width();
  const int height = atBottom.height();
  const int x = width / 2;
  int redRow = -1;
  for (int y = 0; y < height; ++y)
    if (atBottom.pixel(x, y) == qRgb(255, 0, 0)) redRow = y;
  EXPECT_NEAR(redRow, height - height * x / static_cast<double>(width), 2.0);
  // At the top, (1/2)^(1/8) of the height: far above the diagonal.
  int topRedRow = -1;
  for (int y = height - 1; y >= 0; --y)
    if (atTop.pixel(x, y) == qRgb(255, 0, 0)) topRedRow = y;
  EXPECT_NEAR(topRedRow, height - 1 - height * std::pow(0.5, 1.0 / 8), 2.0);
}

TEST_F(FrmMusicTest, ADrawnMelodyStartsAtTheLeftWithTheTracerBackAtTheEnd) {
  HandOver(-1.8, 0.05, 0.35, 0.62);
  const QImage picture = window->pbxMelody->Picture();
  // Level 0 is drawn in white; its line reaches the right edge.
  int whiteAtRight = 0;
  for (int y = 0; y < picture.height(); ++y)
    if (picture.pixel(picture.width() - 1, y) == qRgb(255, 255, 255)) ++whiteAtRight;
  EXPECT_GT(whiteAtRight, 0);
  EXPECT_DOUBLE_EQ(window->linTracer->Start().x(), 305.0);
}

TEST_F(FrmMusicTest, PlayingSoundsEachLevelOnItsChannelAndHoldsRepeatedNotes) {
  HandOver(-1.8, 0.05, 0.35, 0.62);
  ShowActive();
  TypeAndLeave(window->txtBeats, "2");
  TypeAndLeave(window->txtTempo, "400");
  window->cboComplexity->setCurrentIndex(3);
  ASSERT_TRUE(WaitUntilIdle());
  service.ClearCalls();

  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  EXPECT_TRUE(window->Model().IsPlaying());
  EXPECT_EQ(window->timRenderer.interval(), 38);
  ASSERT_TRUE(WaitUntilIdle());

  const auto messages = Delivered(service);
  // Every level starts from note 0, which the first different note turns off.
  std::map<int, int> sounding{{0, 0}, {1, 0}, {2, 0}, {3, 0}};  // channel -> note
  std::map<int, int> noteOns;
  std::size_t lastNote = 0;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const MidiMessage& m = messages[i];
    if (m.IsNoteOn()) {
      EXPECT_LT(m.Channel(), 4);
      EXPECT_EQ(m.data2, 100);
      EXPECT_LT(m.data1, 120);
      EXPECT_FALSE(sounding.count(m.Channel())) << "note on over a sounding note, message " << i;
      sounding[m.Channel()] = m.data1;
      ++noteOns[m.Channel()];
      lastNote = i;
    } else if (m.IsNoteOff()) {
      ASSERT_TRUE(sounding.count(m.Channel())) << "note off of a silent level, message " << i;
      EXPECT_EQ(sounding[m.Channel()], m.data1);
      // A note turned off is followed on its channel by a different one (or
      // silence), never by itself again.
      if (i + 1 < messages.size() && messages[i + 1].IsNoteOn() && messages[i + 1].Channel() == m.Channel()) {
        EXPECT_NE(messages[i + 1].data1, m.data1);
      }
      sounding.erase(m.Channel());
      lastNote = i;
    }
  }
  EXPECT_GE(noteOns.size(), 2U);
  for (auto [channel, count] : noteOns) EXPECT_LE(count, 17) << channel;  // 17 positions
  // The run ends with every sound off on all sixteen channels.
  ASSERT_EQ(messages.size() - lastNote - 1, 32U);
  for (std::size_t i = lastNote + 1; i < messages.size(); ++i) EXPECT_EQ(messages[i].Kind(), 0xB0);
}

TEST_F(FrmMusicTest, ALevelPlaysTheNotesItsSongHoldsIncludingItsSilences) {
  // Along the real axis most points lie in the set; in "Chromatic", key "B",
  // octave "12" their height gives a note above 119, which is silence.
  HandOver(-1.9, 0.0, 0.3, 0.0);
  ShowActive();
  TypeAndLeave(window->txtBeats, "2");
  TypeAndLeave(window->txtTempo, "400");
  window->cboScaleType->setCurrentIndex(2);
  window->cboKey->setCurrentIndex(11);
  window->cboOctave->setCurrentIndex(11);
  ASSERT_TRUE(WaitUntilIdle());
  service.ClearCalls();
  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  ASSERT_TRUE(WaitUntilIdle());

  std::vector<NoteEvent> live;
  for (const MidiMessage& m : Delivered(service))
    if (m.IsNoteOn() || m.IsNoteOff()) live.push_back({m.IsNoteOn(), m.data1});

  const std::string path = folder.File("levels.mid");
  dialogs.AnswerSaveFile(path);
  QTest::mouseClick(window->cmdSaveSong, Qt::LeftButton);
  ASSERT_EQ(dialogs.Messages().back(), "The song was saved successfully.");
  const std::vector<NoteEvent> song = SongNotes(ReadBytes(path));
  // Live, the end of the run silences a note still sounding; the song ends
  // it with a Note Off of its own.
  std::vector<NoteEvent> expected = live;
  if (!live.empty() && live.back().on) expected.push_back({false, live.back().note});
  EXPECT_EQ(song, expected);
  EXPECT_TRUE(std::any_of(live.begin(), live.end(), [](const NoteEvent& e) { return !e.on; }))
      << "the line should fall silent somewhere";
}

TEST_F(FrmMusicTest, ASongSavedFromTheWindowEqualsTheHeadlessCommandsFile) {
  HandOver(-0.75, 0.1, -0.7, 0.35, 400);
  ShowActive();
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
  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(RunCommand("melody",
                       {"--from", "-0.75,0.1", "--to", "-0.7,0.35", "--max-iter", "400", "--measures", "3",
                        "--tempo", "150", "--levels", "2", "--scale", "Major", "--key", "D", "--octave", "3",
                        "--instrument", "40", "--flattening", "100", "--out", fromCommand},
                       out, errors),
            kExitSuccess)
      << errors.str();
  const auto windowBytes = ReadBytes(fromWindow);
  EXPECT_GT(windowBytes.size(), 100U);
  EXPECT_EQ(FirstDifference(windowBytes, ReadBytes(fromCommand)), "");
}

TEST_F(FrmMusicTest, ClosingDuringAWaitLeavesTheWindowUntilItsHandlerReturns) {
  HandOver(-1.8, 0.05, 0.35, 0.62);
  ShowActive();
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
  for (const MidiMessage& m : Delivered(service)) EXPECT_FALSE(m.IsNoteOn());
}

TEST_F(FrmMusicTest, ClosingWhilePlayingSilencesAndUnloads) {
  HandOver(-1.8, 0.05, 0.35, 0.62);
  ShowActive();
  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  ASSERT_TRUE(window->timRenderer.isActive());
  QTest::qWait(300);
  service.ClearCalls();
  window->close();
  EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }, 5000));
  EXPECT_EQ(service.OpenCount(), 0U);
  for (const auto& call : service.Calls())
    if (call.call == RecordingMidiService::Call::Send) {
      EXPECT_FALSE((call.message & 0xF0) == 0x90U && (call.message >> 16) > 0);
    }
}

}  // namespace
