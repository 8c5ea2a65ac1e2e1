#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "Commands.h"
#include "PictureBox.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "WidgetTesting.h"
#include "frmOrbits.h"

namespace {

constexpr char kChooseText[] = "Click on a point to iterate or key in the values above";

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

struct State {
  const char* name;
  bool inputs, newPoint, iterate, play, saveSong;
};
constexpr State kRendering{"rendering", false, false, false, false, false};
constexpr State kChoosing{"choosing", true, false, true, true, true};
constexpr State kOrbiting{"orbiting", false, true, true, true, true};
constexpr State kExploded{"exploded", false, true, false, false, true};

class FrmOrbitsTest : public ::testing::Test {
 protected:
  FrmOrbitsTest() : window(new frmOrbits(service, dialogs, folder.Path())) {}
  ~FrmOrbitsTest() override {
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void Rendered() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.data()));
    ASSERT_TRUE(WaitUntil([&] { return window->cmdIterate->isEnabled(); }));
  }

  void ExpectState(const State& state) {
    EXPECT_EQ(window->txtReal->isEnabled(), state.inputs) << state.name;
    EXPECT_EQ(window->txtImaginary->isEnabled(), state.inputs) << state.name;
    EXPECT_EQ(window->cmdNewPoint->isEnabled(), state.newPoint) << state.name;
    EXPECT_EQ(window->cmdIterate->isEnabled(), state.iterate) << state.name;
    EXPECT_EQ(window->cmdPlay->isEnabled(), state.play) << state.name;
    EXPECT_EQ(window->cmdSaveSong->isEnabled(), state.saveSong) << state.name;
  }

  void TypeAndLeave(QLineEdit* box, const QString& text) {
    box->setFocus(Qt::TabFocusReason);
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
  }

  void ChoosePoint(const QString& real, const QString& imaginary) {
    TypeAndLeave(window->txtReal, real);
    TypeAndLeave(window->txtImaginary, imaginary);
  }

  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  std::vector<std::uint32_t> NoteOns() const {
    std::vector<std::uint32_t> notes;
    for (std::uint32_t message : service.DeliveredMessages())
      if ((message & 0xF0) == 0x90 && (message >> 16) > 0) notes.push_back(message);
    return notes;
  }

  TemporaryFolder folder;
  RecordingMidiService service;
  HookedDialogs dialogs;
  QPointer<frmOrbits> window;
};

TEST_F(FrmOrbitsTest, RendersItsPictureBeforeAnythingCanBeChosen) {
  EXPECT_EQ(window->windowTitle(), "Orbiter");
  EXPECT_EQ(window->size(), QSize(274, 431));
  EXPECT_EQ(window->pbxOutput->ScaleWidth(), 273.0F);
  EXPECT_EQ(window->pbxOutput->ScaleHeight(), 273.0F);
  EXPECT_TRUE(window->cmdIterate->isDefault());
  EXPECT_TRUE(window->txtCurrentReal->isReadOnly());
  ExpectState(kRendering);
  // Bank 0, then the harp, on channel 0.
  EXPECT_EQ(service.DeliveredMessages(), (std::vector<std::uint32_t>{0xB0, 0xC0 | (46 << 8)}));

  Rendered();
  ExpectState(kChoosing);
  EXPECT_EQ(window->lblProgress->text(), kChooseText);
  EXPECT_EQ(window->pbxOriginalImage->Picture(), window->pbxOutput->Picture());
  // The set is drawn: its centre region is not the colour of the far corner.
  EXPECT_NE(window->pbxOutput->Point(100, 136), window->pbxOutput->Point(0, 0));
}

TEST_F(FrmOrbitsTest, TypedPartsAreKeptWithinTheDiscAndBecomeTheCurrentPoint) {
  Rendered();
  struct Case {
    const char* typed;
    const char* shown;
  };
  for (const Case& c : {Case{"abc", "0"}, Case{"-3.7", "-2"}, Case{"2", "2"}, Case{"0.25", "0.25"}}) {
    TypeAndLeave(window->txtReal, c.typed);
    EXPECT_EQ(window->txtReal->text(), c.shown) << c.typed;
    EXPECT_EQ(window->txtCurrentReal->text(), c.shown) << c.typed;
    TypeAndLeave(window->txtImaginary, c.typed);
    EXPECT_EQ(window->txtImaginary->text(), c.shown) << c.typed;
    EXPECT_EQ(window->txtCurrentImaginary->text(), c.shown) << c.typed;
  }
}

TEST_F(FrmOrbitsTest, EnterTakesTheTypedPartBeforeItIterates) {
  Rendered();
  window->txtReal->setFocus(Qt::TabFocusReason);
  window->txtReal->selectAll();
  QTest::keyClicks(window->txtReal, "0.3");
  QTest::keyClick(window->txtReal, Qt::Key_Return);
  ExpectState(kOrbiting);
  // The first orbit value of c = 0.3 + 0i.
  EXPECT_EQ(window->txtCurrentReal->text(), "0.301");
  EXPECT_EQ(window->txtCurrentImaginary->text(), "0.001");
}

TEST_F(FrmOrbitsTest, TheButtonsWalkTheStateTable) {
  Rendered();
  const QImage original = window->pbxOutput->Picture().copy();

  ChoosePoint("0", "0");
  Click(window->cmdIterate);
  ExpectState(kOrbiting);
  EXPECT_EQ(window->txtCurrentReal->text(), "0.001");
  EXPECT_EQ(window->txtCurrentImaginary->text(), "0.001");
  EXPECT_EQ(window->lblProgress->text(), "Click on 'Iterate' to reiterate the point");
  // The start mark, inverted over the picture around its centre.
  EXPECT_NE(window->pbxOutput->Picture().pixel(136, 136), original.pixel(136, 136));
  EXPECT_NE(window->pbxOutput->Picture().pixel(134, 134), original.pixel(134, 134));

  Click(window->cmdPlay);
  EXPECT_TRUE(window->timNoteTimer.isActive());
  ExpectState(kOrbiting);  // playing enables the same controls

  Click(window->cmdNewPoint);
  ExpectState(kChoosing);
  EXPECT_FALSE(window->timNoteTimer.isActive());
  EXPECT_EQ(window->pbxOutput->Picture(), original);
  EXPECT_EQ(window->txtCurrentReal->text(), "0");

  ChoosePoint("2", "2");
  Click(window->cmdIterate);
  ExpectState(kOrbiting);
  Click(window->cmdIterate);
  ExpectState(kExploded);
  EXPECT_EQ(window->lblProgress->text(), "The point has exploded.  Click on 'New Point'");

  Click(window->cmdNewPoint);
  ExpectState(kChoosing);
  EXPECT_EQ(window->pbxOutput->Picture(), original);
}

TEST_F(FrmOrbitsTest, APickTakesThePointUnderTheMouseAndLaterPicksAreIgnored) {
  Rendered();
  QTest::mouseClick(window->pbxOutput, Qt::LeftButton, {}, QPoint(200, 60));
  ExpectState(kOrbiting);
  // The initial view spans -2..2 over 273 pixels, the imaginary axis upwards.
  EXPECT_NEAR(window->txtReal->text().toDouble(), -2 + 200 * 4.0 / 273, 1e-9);
  EXPECT_NEAR(window->txtImaginary->text().toDouble(), 2 - 60 * 4.0 / 273, 1e-9);
  const QString chosen = window->txtReal->text();
  QTest::mouseClick(window->pbxOutput, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(window->txtReal->text(), chosen);
}

TEST_F(FrmOrbitsTest, PlayingSilencesEachNoteBeforeTheNextAndPacesByTheImaginaryPart) {
  Rendered();
  ChoosePoint("-0.1", "0.1");  // inside the set: plays until stopped
  Click(window->cmdIterate);
  service.ClearCalls();
  Click(window->cmdPlay);
  ASSERT_EQ(NoteOns().size(), 1U);
  const double im = window->txtCurrentImaginary->text().toDouble();
  EXPECT_EQ(window->timNoteTimer.interval(), static_cast<int>(std::nearbyint((im + 2) * 125)));

  ASSERT_TRUE(WaitUntil([&] { return NoteOns().size() >= 4; }, 5000));
  Click(window->cmdNewPoint);
  const auto messages = service.DeliveredMessages();
  // Note, then all sounds off on every channel, then the next note.
  std::size_t notes = 0;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if ((messages[i] & 0xF0) != 0x90) continue;
    ++notes;
    EXPECT_EQ(messages[i] & 0x0F, 0U);
    const int velocity = static_cast<int>(messages[i] >> 16);
    EXPECT_GE(velocity, 64);
    EXPECT_LE(velocity, 126);
    if (notes > 1) {
      ASSERT_GE(i, 32U);
      for (std::size_t j = i - 32; j < i; ++j) EXPECT_EQ(messages[j] & 0xF0, 0xB0U);
    }
  }
  const auto heard = NoteOns().size();
  QTest::qWait(600);
  EXPECT_EQ(NoteOns().size(), heard) << "New Point stops playback";
}

TEST_F(FrmOrbitsTest, PlayRightAfterNewPointOnlyStartsTheOrbit) {
  Rendered();
  ChoosePoint("-0.1", "0.1");
  Click(window->cmdIterate);
  Click(window->cmdNewPoint);
  service.ClearCalls();
  Click(window->cmdPlay);
  EXPECT_TRUE(NoteOns().empty());
  ASSERT_TRUE(WaitUntil([&] { return !window->timNoteTimer.isActive(); }, 2000));
  EXPECT_TRUE(NoteOns().empty());
  Click(window->cmdPlay);
  EXPECT_EQ(NoteOns().size(), 1U);
}

TEST_F(FrmOrbitsTest, ASongSavedFromTheWindowEqualsTheHeadlessCommandsFile) {
  Rendered();
  struct Case {
    const char* real;
    const char* imaginary;
    const char* answer;  // to the "appears to converge" question, if asked
  };
  int saves = 0;
  for (const Case& c : {Case{"0", "0", "300"}, Case{"-0.75", "0.2", "25"}, Case{"0.3", "0.6", ""}}) {
    ChoosePoint(c.real, c.imaginary);
    const std::string fromWindow = folder.File("window" + std::to_string(++saves) + ".mid");
    dialogs.script.AnswerSaveFile(fromWindow);
    dialogs.script.AnswerInput(c.answer);
    dialogs.script.ClearHistory();
    Click(window->cmdSaveSong);
    ASSERT_EQ(dialogs.script.Messages().back(), "The song was saved successfully.") << c.real;

    std::vector<std::string> arguments{"--point", std::string(c.real) + "," + c.imaginary};
    const auto& shown = dialogs.script.History();
    const bool asked = std::any_of(shown.begin(), shown.end(), [](const ScriptedDialogs::Shown& dialog) {
      return dialog.kind == ScriptedDialogs::Kind::Input;
    });
    if (saves == 1) {
      EXPECT_TRUE(asked) << "0 + 0i never escapes";
    }
    if (asked && *c.answer) arguments.insert(arguments.end(), {"--notes", c.answer});
    const std::string fromCommand = folder.File("command" + std::to_string(saves) + ".mid");
    arguments.insert(arguments.end(), {"--out", fromCommand});
    std::ostringstream out;
    std::ostringstream errors;
    ASSERT_EQ(RunCommand("orbit", arguments, out, errors), kExitSuccess) << errors.str();

    const auto bytes = ReadBytes(fromWindow);
    const std::vector<std::uint8_t> header{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 0x40};
    ASSERT_GE(bytes.size(), header.size());
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    EXPECT_EQ(FirstDifference(bytes, ReadBytes(fromCommand)), "") << c.real << "," << c.imaginary;
  }
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
