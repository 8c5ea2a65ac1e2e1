// The Melodizer's and the Orbiter's windows end to end: their controls reach
// the models, their songs are the headless commands' files, they unload
// safely, and they sound on the output chosen. The behaviour in detail is the
// models' tests'.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <sstream>

#include "Commands.h"
#include "DesktopMidiService.h"
#include "FileSizeLimit.h"
#include "MidiOutputSetting.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "SongBytes.h"
#include "frmMusic.h"
#include "frmOrbits.h"

namespace {

// The output chosen is kept with QSettings; these tests keep theirs in a folder of their own.
const TemporaryFolder kConfigFolder;
const bool kPrivateConfig = [] { return setenv("XDG_CONFIG_HOME", kConfigFolder.Path().c_str(), 1) == 0; }();

// The windows sound on the desktop's service, here over recorded devices.
class MusicWindowsTest : public ::testing::Test {
 protected:
  MusicWindowsTest() {
    auto ownSynthesizer = std::make_unique<RecordingMidiService>();
    auto ownPorts = std::make_unique<RecordingMidiService>();
    synthesizer = ownSynthesizer.get();
    ports = ownPorts.get();
    ports->SetDeviceNames({"Midi Through:Midi Through Port-0 14:0", "Keyboard:Keyboard MIDI 1 20:0"});
    service = std::make_unique<DesktopMidiService>(std::move(ownSynthesizer), std::move(ownPorts), "");
    SaveMidiOutput("");
  }
  ~MusicWindowsTest() override {
    delete shown.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  template <typename Window>
  Window* Open() {
    auto* window = new Window(*service, dialogs, folder.Path());
    shown = window;
    EXPECT_TRUE(ShowActive(window));
    return window;
  }
  // The window's Save Song, over `path` if it is there; gives the last message.
  std::string SaveSong(QPushButton* button, const std::string& path, const std::string& notes = "") {
    dialogs.ClearHistory();
    dialogs.AnswerSaveFile(path);
    dialogs.AnswerMessage(MessageAnswer::Yes);
    dialogs.AnswerInput(notes);
    QTest::mouseClick(button, Qt::LeftButton);
    return dialogs.Messages().back();
  }
  // The first difference of a saved song from the command's file for `arguments`.
  std::string DifferenceFromCommand(const char* command, const std::string& saved, std::vector<std::string> arguments) {
    const std::string expected = saved + ".expected";
    arguments.insert(arguments.end(), {"--out", expected});
    std::ostringstream out, errors;
    EXPECT_EQ(RunCommand(command, arguments, out, errors), kExitSuccess) << errors.str();
    EXPECT_GT(ReadBytes(saved).size(), 14u);
    return FirstDifference(ReadBytes(saved), ReadBytes(expected));
  }

  RecordingMidiService* synthesizer = nullptr;
  RecordingMidiService* ports = nullptr;
  std::unique_ptr<DesktopMidiService> service;
  TemporaryFolder folder;
  ScriptedDialogs dialogs;
  QPointer<QDialog> shown;
};

// A drawn melody's song is the command's file; a Close clicked while a
// handler waits unloads the window only once that handler has returned.
TEST_F(MusicWindowsTest, TheMelodizersSongIsTheCommandsFileAndClosingDuringAWaitUnloadsAfterTheHandler) {
  // As the main window hands a traced line over, once the window has drawn it.
  const QPointer<frmMusic> window = Open<frmMusic>();
  window->SetRegion(-0.75, 0.1, -0.7, 0.35, 400);
  window->StartMelody(1, false);
  ASSERT_TRUE(WaitUntil([&] { return !window->timRenderer.isActive() && window->Model().Position() == 0.0; }));
  TypeAndLeave(window->txtBeats, "3");
  TypeAndLeave(window->txtTempo, "150");
  for (auto [list, index] : {std::pair{window->cboComplexity, 1}, {window->cboScaleType, 0}, {window->cboKey, 2},
                             {window->cboOctave, 2}, {window->cboPatch, 40}})
    list->setCurrentIndex(index);
  EXPECT_EQ(synthesizer->DeliveredMessages().back(), 0xCFu | (40u << 8)) << "the instrument sounds at once";
  window->scrMountain->setValue(100);
  const std::string saved = folder.File("window.mid");
  ASSERT_EQ(SaveSong(window->cmdSaveSong, saved), "The song was saved successfully.");
  EXPECT_EQ(DifferenceFromCommand("melody", saved,
                                  {"--from", "-0.75,0.1", "--to", "-0.7,0.35", "--max-iter", "400", "--measures", "3",
                                   "--tempo", "150", "--levels", "2", "--scale", "Major", "--key", "D", "--octave", "3",
                                   "--instrument", "40", "--flattening", "100"}),
            "");

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
  EXPECT_EQ(window->exec(), QDialog::Rejected) << "a caller that shows it now finds it unloaded";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(synthesizer->OpenCount(), 0u);
  // A Note On that sounds; the output ends a note with one of velocity 0.
  const auto sounds = [](std::uint32_t message) { return (message & 0xF0) == 0x90 && (message >> 16) > 0; };
  const auto sent = synthesizer->DeliveredMessages();
  EXPECT_TRUE(std::none_of(sent.begin(), sent.end(), sounds)) << "the run never started";
}

// Whether a point asks for a number of notes is the model's; here the point
// typed in reaches it, a converging one that does ask. The song the user
// agreed to overwrite survives a failed save, here one past a size limit as
// on a disk that fills up; the other causes are the song writer's tests'.
TEST_F(MusicWindowsTest, TheOrbitersSongIsTheCommandsFileAndSurvivesAFailedSaveOverIt) {
  frmOrbits* window = Open<frmOrbits>();
  ASSERT_TRUE(WaitUntil([&] { return window->cmdIterate->isEnabled(); })) << "the set is drawn";
  TypeAndLeave(window->txtReal, "-0.1");
  TypeAndLeave(window->txtImaginary, "0.2");
  const std::string song = folder.File("window.mid");
  ASSERT_EQ(SaveSong(window->cmdSaveSong, song, "300"), "The song was saved successfully.");
  EXPECT_EQ(DifferenceFromCommand("orbit", song, {"--point", "-0.1,0.2", "--notes", "300"}), "");
  const auto older = ReadBytes(song);
  TypeAndLeave(window->txtReal, "-0.75");
  {
    const FileSizeLimit limit(32);
    EXPECT_EQ(SaveSong(window->cmdSaveSong, song), "Unable to save file:\r\nFile too large");
  }
  EXPECT_EQ(ReadBytes(song), older);
  const QDir left(QString::fromStdString(folder.Path()));
  EXPECT_EQ(left.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"window.mid", "window.mid.expected"}));
}

// That later windows open the chosen port is the MIDI service's tests'.
TEST_F(MusicWindowsTest, ARightClickOnTheBackgroundChoosesAnOutputTheWindowSoundsOnAtOnce) {
  frmOrbits orbiter(*service, dialogs, folder.Path());
  orbiter.show();
  // While the menu is up, the keys pick the first port: "MIDI Output", its list, the port.
  QTimer::singleShot(50, [] {
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return})
      if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, key);
  });
  QTimer::singleShot(2000, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  const QPoint background(120, 425);  // below the picture, beside the status line
  QContextMenuEvent click(QContextMenuEvent::Mouse, background, orbiter.mapToGlobal(background));
  QApplication::sendEvent(&orbiter, &click);
  EXPECT_EQ(SavedMidiOutput(), "Midi Through:Midi Through Port-0 14:0");
  EXPECT_EQ(synthesizer->OpenCount(), 0u) << "the synthesizer is given up at once";
  ASSERT_EQ(ports->OpenCount(), 1u);
  // The harp again, now on the port: bank select, then the program.
  EXPECT_EQ(ports->DeliveredMessages(), (std::vector<std::uint32_t>{0x00B0u, 0x2EC0u}));
}

TEST_F(MusicWindowsTest, NoAudioOutputIsSaidOnceInTheStatusLine) {
  const std::tuple<const char*, std::function<std::unique_ptr<QDialog>()>, QSize> windows[] = {
      {"Orbiter", [&] { return std::make_unique<frmOrbits>(*service, dialogs, folder.Path()); }, QSize(274, 431)},
      {"Melodizer", [&] { return std::make_unique<frmMusic>(*service, dialogs, folder.Path()); }, QSize(318, 426)},
  };
  for (const auto& [name, make, size] : windows) {
    SCOPED_TRACE(name);
    synthesizer->FailNextOpen(kMidiResultNoDriver);
    const std::unique_ptr<QDialog> silent = make();
    const QLabel* line = silent->findChild<QLabel*>("lblAudioNotice");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), "No audio output: notes are not heard. Songs can still be saved.");
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(silent->height(), size.height() + 19) << "the line is added under the controls";
    EXPECT_TRUE(dialogs.History().empty()) << "the device's own codes stay silent";
    const std::unique_ptr<QDialog> sounding = make();
    EXPECT_TRUE(sounding->findChild<QLabel*>("lblAudioNotice")->isHidden());
    EXPECT_EQ(sounding->size(), size);
  }
}

}  // namespace
