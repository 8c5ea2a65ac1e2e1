#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <tuple>

#include "Commands.h"
#include "FileSizeLimit.h"
#include "PictureBox.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"
#include "SongBytes.h"
#include "frmOrbits.h"

namespace {

// Scripted answers, with a hook that runs while the save dialog is "open".
class HookedDialogs final : public Dialogs {
 public:
  MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) override {
    return script.MessageBox(text, buttons, icon);
  }
  std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) override {
    return script.InputBox(prompt, defaultAnswer);
  }
  std::string SaveFileDialog(const SaveFileRequest& request) override {
    if (whileSaveDialogOpen) whileSaveDialogOpen();
    return script.SaveFileDialog(request);
  }
  ScriptedDialogs script;
  std::function<void()> whileSaveDialogOpen;
};

class FrmOrbitsTest : public ::testing::Test {
 protected:
  FrmOrbitsTest() { Open(folder.Path()); }
  ~FrmOrbitsTest() override {
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Open(const std::filesystem::path& programFolder) {
    delete window.data();
    window = new frmOrbits(service, dialogs, programFolder);
    ASSERT_TRUE(ShowActive(window));
    ASSERT_TRUE(WaitUntil([&] { return window->cmdIterate->isEnabled(); })) << "the set is drawn";
  }
  void ChoosePoint(const QString& real, const QString& imaginary) {
    TypeAndLeave(window->txtReal, real);
    TypeAndLeave(window->txtImaginary, imaginary);
  }
  // Saves the song, over `path` if it is there; gives the last message.
  std::string SaveSong(const std::string& path, const std::string& notes = "") {
    dialogs.script.ClearHistory();
    dialogs.script.AnswerSaveFile(path);
    dialogs.script.AnswerMessage(MessageAnswer::Yes);
    dialogs.script.AnswerInput(notes);
    QTest::mouseClick(window->cmdSaveSong, Qt::LeftButton);
    return dialogs.script.Messages().back();
  }

  TemporaryFolder folder;
  RecordingMidiService service;
  HookedDialogs dialogs;
  QPointer<frmOrbits> window;
};

TEST_F(FrmOrbitsTest, APickOrTheTypedPartsChooseThePointAndEnterTakesThemBeforeItIterates) {
  QTest::mouseClick(window->pbxOutput, Qt::LeftButton, {}, QPoint(200, 60));
  // The initial view spans -2..2 over 273 pixels, the imaginary axis upwards.
  EXPECT_NEAR(window->txtReal->text().toDouble(), -2 + 200 * 4.0 / 273, 1e-9);
  EXPECT_NEAR(window->txtImaginary->text().toDouble(), 2 - 60 * 4.0 / 273, 1e-9);
  EXPECT_FALSE(window->txtReal->isEnabled());
  EXPECT_TRUE(window->cmdIterate->isEnabled() && window->cmdPlay->isEnabled());
  QTest::mouseClick(window->cmdNewPoint, Qt::LeftButton);
  EXPECT_TRUE(window->txtReal->isEnabled());

  // Typed parts are kept within the disc and become the current point.
  ChoosePoint("-3.7", "abc");
  EXPECT_EQ(window->txtReal->text(), "-2");
  EXPECT_EQ(window->txtCurrentImaginary->text(), "0");
  window->txtReal->setFocus(Qt::TabFocusReason);
  window->txtReal->selectAll();
  QTest::keyClicks(window->txtReal, "0.3");
  QTest::keyClick(window->txtReal, Qt::Key_Return);
  // The first orbit value of c = 0.3 + 0i.
  EXPECT_EQ(window->txtCurrentReal->text(), "0.301");
  EXPECT_EQ(window->txtCurrentImaginary->text(), "0.001");
}

TEST_F(FrmOrbitsTest, ASongSavedFromTheWindowEqualsTheHeadlessCommandsFile) {
  // Each point with the answer to the "appears to converge" question, asked only where it does.
  for (const auto& [real, imaginary, notes] : {std::tuple{"0", "0", "300"}, {"-0.75", "0.2", ""}, {"0.3", "0.6", ""}}) {
    ChoosePoint(real, imaginary);
    const std::string fromWindow = folder.File(std::string("window") + real + ".mid");
    const std::string fromCommand = folder.File(std::string("command") + real + ".mid");
    ASSERT_EQ(SaveSong(fromWindow, notes), "The song was saved successfully.") << real;
    const auto& shown = dialogs.script.History();
    const bool asked =
        std::any_of(shown.begin(), shown.end(), [](const auto& d) { return d.kind == ScriptedDialogs::Kind::Input; });
    EXPECT_EQ(asked, *notes != '\0') << real;
    std::vector<std::string> arguments{"--point", std::string(real) + "," + imaginary, "--out", fromCommand};
    if (asked) arguments.insert(arguments.end(), {"--notes", notes});
    std::ostringstream out, errors;
    ASSERT_EQ(RunCommand("orbit", arguments, out, errors), kExitSuccess) << errors.str();
    EXPECT_GT(ReadBytes(fromWindow).size(), 14U);
    EXPECT_EQ(FirstDifference(ReadBytes(fromWindow), ReadBytes(fromCommand)), "") << real << "," << imaginary;
  }
}

// The song the user agreed to overwrite survives any failed save: a disk
// that fills up, or a program folder where no track file can be made.
TEST_F(FrmOrbitsTest, AFailedSaveKeepsTheSongTheUserAgreedToOverwrite) {
  ChoosePoint("0.3", "0.6");
  const std::string song = folder.File("old.mid");
  SaveSong(song);
  const auto older = ReadBytes(song);
  ASSERT_GT(older.size(), 14u);
  ChoosePoint("-0.75", "0.2");
  {
    const FileSizeLimit limit(32);
    EXPECT_EQ(SaveSong(song), "Unable to save file:\r\nFile too large");
  }
  EXPECT_EQ(ReadBytes(song), older);

  const std::string notAFolder = folder.File("program-file");
  std::ofstream(notAFolder) << "x";
  Open(notAFolder);
  ChoosePoint("0.3", "0.6");
  EXPECT_EQ(SaveSong(song), "Unable to save file:\r\nNot a directory");
  EXPECT_EQ(ReadBytes(song), older);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"old.mid", "program-file"}));
}

TEST_F(FrmOrbitsTest, ClosingWhileTheSaveDialogIsOpenUnloadsOnlyAfterTheCommand) {
  ChoosePoint("-0.1", "0.1");
  QTest::mouseClick(window->cmdPlay, Qt::LeftButton);
  ASSERT_TRUE(window->timNoteTimer.isActive());
  bool aliveWhileOpen = false;
  dialogs.whileSaveDialogOpen = [&] {
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    aliveWhileOpen = !window.isNull() && window->isHidden();
  };
  EXPECT_EQ(SaveSong(""), "The song was not saved.");
  EXPECT_TRUE(aliveWhileOpen);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(service.OpenCount(), 0U);
}

}  // namespace
