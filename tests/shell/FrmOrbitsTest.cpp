#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <cmath>
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
#include "SongBytes.h"
#include "ShellTesting.h"
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

// The enabled controls as '1's: the two input boxes, New Point, Iterate, Play, Save Song.
constexpr char kRendering[] = "000000";
constexpr char kChoosing[] = "110111";
constexpr char kOrbiting[] = "001111";
constexpr char kExploded[] = "001001";

class FrmOrbitsTest : public ::testing::Test {
 protected:
  FrmOrbitsTest() : window(new frmOrbits(service, dialogs, folder.Path())) {}
  ~FrmOrbitsTest() override {
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void Rendered() {
    ASSERT_TRUE(ShowActive(window));
    ASSERT_TRUE(WaitUntil([&] { return window->cmdIterate->isEnabled(); }));
  }

  std::string Enabled() const {
    std::string flags;
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             window->txtReal, window->txtImaginary, window->cmdNewPoint, window->cmdIterate, window->cmdPlay,
             window->cmdSaveSong})
      flags += control->isEnabled() ? '1' : '0';
    return flags;
  }

  void ChoosePoint(const QString& real, const QString& imaginary) {
    TypeAndLeave(window->txtReal, real);
    TypeAndLeave(window->txtImaginary, imaginary);
  }

  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  std::size_t NoteOns() const {
    const auto messages = service.DeliveredMessages();
    return std::count_if(messages.begin(), messages.end(), IsNoteOn);
  }

  TemporaryFolder folder;
  RecordingMidiService service;
  HookedDialogs dialogs;
  QPointer<frmOrbits> window;
};

TEST_F(FrmOrbitsTest, APickOrTheTypedPartsChooseThePointAndEnterTakesThemBeforeItIterates) {
  Rendered();
  QTest::mouseClick(window->pbxOutput, Qt::LeftButton, {}, QPoint(200, 60));
  EXPECT_EQ(Enabled(), kOrbiting);
  // The initial view spans -2..2 over 273 pixels, the imaginary axis upwards.
  EXPECT_NEAR(window->txtReal->text().toDouble(), -2 + 200 * 4.0 / 273, 1e-9);
  EXPECT_NEAR(window->txtImaginary->text().toDouble(), 2 - 60 * 4.0 / 273, 1e-9);
  const QString chosen = window->txtReal->text();
  QTest::mouseClick(window->pbxOutput, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(window->txtReal->text(), chosen) << "later picks are ignored";
  Click(window->cmdNewPoint);

  // Typed parts are kept within the disc and become the current point.
  ChoosePoint("-3.7", "abc");
  EXPECT_EQ(window->txtReal->text(), "-2");
  EXPECT_EQ(window->txtCurrentReal->text(), "-2");
  EXPECT_EQ(window->txtCurrentImaginary->text(), "0");
  window->txtReal->setFocus(Qt::TabFocusReason);
  window->txtReal->selectAll();
  QTest::keyClicks(window->txtReal, "0.3");
  QTest::keyClick(window->txtReal, Qt::Key_Return);
  EXPECT_EQ(Enabled(), kOrbiting);
  // The first orbit value of c = 0.3 + 0i.
  EXPECT_EQ(window->txtCurrentReal->text(), "0.301");
  EXPECT_EQ(window->txtCurrentImaginary->text(), "0.001");
}

TEST_F(FrmOrbitsTest, ASongSavedFromTheWindowEqualsTheHeadlessCommandsFile) {
  Rendered();
  // Each point with the answer to the "appears to converge" question, if asked.
  for (const auto& [real, imaginary, answer] :
       {std::tuple{"0", "0", "300"}, {"-0.75", "0.2", "25"}, {"0.3", "0.6", ""}}) {
    ChoosePoint(real, imaginary);
    const std::string fromWindow = folder.File(std::string("window") + real + ".mid");
    const std::string fromCommand = folder.File(std::string("command") + real + ".mid");
    dialogs.script.AnswerSaveFile(fromWindow);
    dialogs.script.AnswerInput(answer);
    dialogs.script.ClearHistory();
    Click(window->cmdSaveSong);
    ASSERT_EQ(dialogs.script.Messages().back(), "The song was saved successfully.") << real;

    const auto& shown = dialogs.script.History();
    const bool asked =
        std::any_of(shown.begin(), shown.end(), [](const auto& d) { return d.kind == ScriptedDialogs::Kind::Input; });
    EXPECT_TRUE(asked || std::string(real) != "0") << "0 + 0i never escapes";
    std::vector<std::string> arguments{"--point", std::string(real) + "," + imaginary, "--out", fromCommand};
    if (asked && *answer) arguments.insert(arguments.end(), {"--notes", answer});
    std::ostringstream out, errors;
    ASSERT_EQ(RunCommand("orbit", arguments, out, errors), kExitSuccess) << errors.str();
    const auto bytes = ReadBytes(fromWindow);
    EXPECT_GT(bytes.size(), 14U);
    EXPECT_EQ(FirstDifference(bytes, ReadBytes(fromCommand)), "") << real << "," << imaginary;
  }
}

// The song the user agreed to overwrite survives any failed save: a disk
// that fills up, or a program folder where no track file can be made.
TEST_F(FrmOrbitsTest, AFailedSaveKeepsTheSongTheUserAgreedToOverwrite) {
  Rendered();
  ChoosePoint("0.3", "0.6");
  const std::string song = folder.File("old.mid");
  dialogs.script.AnswerSaveFile(song);
  Click(window->cmdSaveSong);
  const auto older = ReadBytes(song);
  ASSERT_GT(older.size(), 14u);
  const auto saveOver = [&] {
    dialogs.script.ClearHistory();
    dialogs.script.AnswerSaveFile(song);
    dialogs.script.AnswerMessage(MessageAnswer::Yes);
    Click(window->cmdSaveSong);
    return dialogs.script.Messages().back();
  };
  ChoosePoint("-0.75", "0.2");
  dialogs.script.AnswerInput("25");
  {
    const FileSizeLimit limit(32);
    EXPECT_EQ(saveOver(), "Unable to save file:\r\nFile too large");
  }
  EXPECT_EQ(ReadBytes(song), older);

  const std::string notAFolder = folder.File("program-file");
  std::ofstream(notAFolder) << "x";
  delete window.data();
  window = new frmOrbits(service, dialogs, notAFolder);
  Rendered();
  ChoosePoint("0.3", "0.6");
  EXPECT_EQ(saveOver(), "Unable to save file:\r\nNot a directory");
  EXPECT_EQ(ReadBytes(song), older);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"old.mid", "program-file"}));
}

TEST_F(FrmOrbitsTest, ClosingWhileTheSaveDialogIsOpenUnloadsOnlyAfterTheCommand) {
  Rendered();
  ChoosePoint("-0.1", "0.1");
  Click(window->cmdPlay);
  ASSERT_TRUE(window->timNoteTimer.isActive());
  bool aliveWhileOpen = false;
  dialogs.whileSaveDialogOpen = [&] {
    Click(window->cmdClose);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    aliveWhileOpen = !window.isNull() && window->isHidden();
  };
  Click(window->cmdSaveSong);  // the dialog is cancelled: nothing is saved
  EXPECT_TRUE(aliveWhileOpen);
  EXPECT_EQ(dialogs.script.Messages().back(), "The song was not saved.");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(service.OpenCount(), 0U);
}

}  // namespace
