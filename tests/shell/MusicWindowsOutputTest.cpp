#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "DesktopMidiService.h"
#include "MidiOutputMenu.h"
#include "MidiOutputSetting.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "frmMusic.h"
#include "frmOrbits.h"

// The music windows' choice of MIDI output and their word when no audio
// output starts.
namespace {

using testing::ElementsAre;

// The choice is kept with QSettings; these tests keep theirs in a folder of their own.
const TemporaryFolder kConfigFolder;
const bool kPrivateConfig = [] { return setenv("XDG_CONFIG_HOME", kConfigFolder.Path().c_str(), 1) == 0; }();

constexpr char kNotice[] = "No audio output: notes are not heard. Songs can still be saved.";

class MusicWindowsOutputTest : public testing::Test {
 protected:
  MusicWindowsOutputTest() {
    auto ownSynthesizer = std::make_unique<RecordingMidiService>();
    auto ownPorts = std::make_unique<RecordingMidiService>();
    synthesizer = ownSynthesizer.get();
    ports = ownPorts.get();
    ports->SetDeviceNames({"Midi Through:Midi Through Port-0 14:0", "Keyboard:Keyboard MIDI 1 20:0"});
    service = std::make_unique<DesktopMidiService>(std::move(ownSynthesizer), std::move(ownPorts), "");
    SaveMidiOutput("");
  }

  // The outputs of the menu as "name" or "[name]" for the checked one.
  std::vector<std::string> MenuEntries(QWidget* window) {
    const std::unique_ptr<QMenu> menu(MidiOutputMenu::Build(*service, window));
    std::vector<std::string> entries;
    const QList<QAction*> top = menu->actions();
    EXPECT_EQ(top.size(), 1);
    EXPECT_EQ(top.value(0)->text().toStdString(), "MIDI Output");
    for (const QAction* action : top.value(0)->menu()->actions()) {
      const std::string name = action->text().toStdString();
      entries.push_back(action->isChecked() ? "[" + name + "]" : name);
    }
    return entries;
  }

  RecordingMidiService* synthesizer = nullptr;
  RecordingMidiService* ports = nullptr;
  std::unique_ptr<DesktopMidiService> service;
  ScriptedDialogs dialogs;
  TemporaryFolder programFolder;
};

TEST_F(MusicWindowsOutputTest, TheMenuListsEveryOutputAndAChoiceReopensTheWindowsDevice) {
  frmOrbits orbiter(*service, dialogs, programFolder.Path());
  EXPECT_THAT(MenuEntries(&orbiter), ElementsAre("[Built-in Synthesizer]", "Midi Through:Midi Through Port-0 14:0",
                                                 "Keyboard:Keyboard MIDI 1 20:0"));
  EXPECT_EQ(synthesizer->OpenCount(), 1u);

  ASSERT_TRUE(MidiOutputMenu::Choose(*service, 2));
  EXPECT_FALSE(MidiOutputMenu::Choose(*service, 2)) << "choosing the checked output changes nothing";
  EXPECT_EQ(SavedMidiOutput(), "Keyboard:Keyboard MIDI 1 20:0");
  EXPECT_THAT(MenuEntries(&orbiter), ElementsAre("Built-in Synthesizer", "Midi Through:Midi Through Port-0 14:0",
                                                 "[Keyboard:Keyboard MIDI 1 20:0]"));
  orbiter.close();

  // The next window, whichever it is, sounds on the chosen port with its instruments.
  frmMusic melodizer(*service, dialogs, programFolder.Path());
  EXPECT_EQ(synthesizer->OpenCount(), 0u);
  ASSERT_EQ(ports->OpenCount(), 1u);
  EXPECT_EQ(ports->Calls().front().deviceId, 1);
  EXPECT_EQ(ports->DeliveredMessages().size(), 32u) << "bank and program on all 16 channels";

  ASSERT_TRUE(MidiOutputMenu::Choose(*service, 0));
  EXPECT_EQ(SavedMidiOutput(), "");
}

TEST_F(MusicWindowsOutputTest, ARightClickOnTheBackgroundChoosesAndTheOpenWindowMovesAtOnce) {
  frmOrbits orbiter(*service, dialogs, programFolder.Path());
  orbiter.show();
  ports->ClearCalls();
  // While the menu is up, pick the first port from it with the keys.
  const auto press = [](Qt::Key key) {
    if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, key);
  };
  QTimer::singleShot(50, [=] {
    press(Qt::Key_Down);   // "MIDI Output"
    press(Qt::Key_Right);  // its outputs, the synthesizer first
    QTimer::singleShot(50, [=] {
      press(Qt::Key_Down);
      press(Qt::Key_Return);
    });
  });
  QTimer::singleShot(2000, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  const QPoint background(120, 425);  // below the picture, beside the status line
  QContextMenuEvent click(QContextMenuEvent::Mouse, background, orbiter.mapToGlobal(background));
  QApplication::sendEvent(&orbiter, &click);

  EXPECT_EQ(SavedMidiOutput(), "Midi Through:Midi Through Port-0 14:0");
  EXPECT_EQ(synthesizer->OpenCount(), 0u) << "the synthesizer is given up";
  ASSERT_EQ(ports->OpenCount(), 1u);
  EXPECT_EQ(ports->Calls().front().deviceId, 0);
  // The harp again, now on the port: bank select, then the program.
  EXPECT_THAT(ports->DeliveredMessages(), ElementsAre(0x00B0u, 0x2EC0u));
  orbiter.close();
}

TEST_F(MusicWindowsOutputTest, NoAudioOutputIsSaidOnceInTheStatusLine) {
  const std::tuple<const char*, std::function<std::unique_ptr<QDialog>()>, QSize> windows[] = {
      {"Orbiter", [&] { return std::make_unique<frmOrbits>(*service, dialogs, programFolder.Path()); }, QSize(274, 431)},
      {"Melodizer", [&] { return std::make_unique<frmMusic>(*service, dialogs, programFolder.Path()); },
       QSize(318, 426)},
  };
  for (const auto& [name, make, size] : windows) {
    SCOPED_TRACE(name);
    synthesizer->FailNextOpen(kMidiResultNoDriver);
    const std::unique_ptr<QDialog> silent = make();
    const QLabel* line = silent->findChild<QLabel*>("lblAudioNotice");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text().toStdString(), kNotice);
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(silent->height(), size.height() + 19) << "the line is added under the controls";
    EXPECT_TRUE(dialogs.History().empty()) << "the device's own codes stay silent";
    silent->close();

    const std::unique_ptr<QDialog> sounding = make();
    EXPECT_TRUE(sounding->findChild<QLabel*>("lblAudioNotice")->isHidden());
    EXPECT_EQ(sounding->size(), size);
    sounding->close();
  }
}

}  // namespace
