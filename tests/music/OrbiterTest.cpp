#include "Orbiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "EscapeCount.h"
#include "MemorySurface.h"
#include "OrbitSong.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "TypedValues.h"

namespace {

// The orbit song of c, built from the iteration step alone: each value
// after the first sounds for 32 ticks until one leaves the disc.
std::vector<std::uint8_t> IndependentOrbitSong(ComplexNumber c, int notes) {
  ExpectedSong song(46, 500000);
  ComplexNumber z = FractalStep({}, c);
  for (int i = 0; i < notes; ++i) {
    z = FractalStep(z, c);
    const double squared = z.real * z.real + z.imaginary * z.imaginary;
    if (squared >= 4) break;
    const int pitch = static_cast<int>(std::lrint((z.real + 2) * 127 / 4)) & 127;
    const int velocity = static_cast<int>(std::lrint(std::sqrt(squared) * 31.25 + 64));
    song.NoteOn(0, pitch, velocity).NoteOff(32, pitch);
  }
  return song.File();
}

class OrbitSongTest : public ::testing::Test {
 protected:
  SongResult Save(ComplexNumber c) {
    const OrbitNoteCount count = OrbitNotesToRecord(renderer, c, dialogs);
    if (!count.notes) return {SongResult::Outcome::Failed, count.error};
    MIDIFile file(folder.Path(), dialogs);
    return WriteOrbitSong(file, path, renderer, c, *count.notes);
  }

  TemporaryFolder folder;
  std::string path = folder.File("orbit.mid");
  ScriptedDialogs dialogs;
  FractalRenderer renderer;
};

TEST_F(OrbitSongTest, EscapingPointRecordsTheValuesBeforeItsEscapeWithoutAsking) {
  for (const ComplexNumber c : {ComplexNumber{-0.75, 0.12}, ComplexNumber{2.0, 2.0}}) {
    ASSERT_LT(EscapeCount({false, {}, 16000}, c), 16000);
    ASSERT_EQ(Save(c).outcome, SongResult::Outcome::Saved);
    EXPECT_TRUE(dialogs.History().empty()) << "no question for a point that escapes";
    EXPECT_EQ(FirstDifference(ReadBytes(path), IndependentOrbitSong(c, 16000)), "") << c.real;
    EXPECT_FALSE(renderer.StepIterate(false)) << "the live orbit now lies outside the disc";
  }
  EXPECT_EQ(FirstDifference(ReadBytes(path), ExpectedSong(46, 500000).File()), "") << "2 + 2i: only the opening";
}

TEST_F(OrbitSongTest, ConvergingPointAsksHowManyNotesToRecord) {
  for (const auto& [answer, notes, explained] : std::vector<std::tuple<std::string, int, bool>>{
           {"150", 150, false}, {"20000", 16000, false}, {"0", 1, false}, {"x", 200, true}, {"", 200, true}}) {
    dialogs.ClearHistory();
    dialogs.AnswerInput(answer);
    ASSERT_EQ(Save({-0.1, 0.1}).outcome, SongResult::Outcome::Saved);
    EXPECT_EQ(dialogs.History().at(0).text,
              "The point that you selected appears to converge.  How many iterations of the point would you like "
              "to record? (max. 16000)");
    EXPECT_EQ(dialogs.History()[0].defaultAnswer, "200");
    const std::string invalid =
        "You did not type in a valid number.  The maximum number of iterations will be set to 200.";
    EXPECT_EQ(dialogs.Messages(), explained ? std::vector<std::string>{invalid} : std::vector<std::string>{}) << answer;
    EXPECT_EQ(FirstDifference(ReadBytes(path), IndependentOrbitSong({-0.1, 0.1}, notes)), "") << answer;
    EXPECT_EQ(renderer.GetMaxIterations(), 16000);
  }
}

TEST_F(OrbitSongTest, AnswerBeyond32BitsFailsBeforeAnyFileIsCreated) {
  dialogs.AnswerInput("1e10");
  const SongResult result = Save({0.0, 0.0});
  EXPECT_EQ(result.outcome, SongResult::Outcome::Failed);
  EXPECT_FALSE(result.error.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

class TimerView final : public OrbiterView {
 public:
  void DrawOrbitStart(OrbitPixel) override {}
  void DrawOrbitStep(OrbitPixel) override {}
  void KeepOriginalPicture() override {}
  void RestoreOriginalPicture() override {}
  void EnableRenderTimer() override { renderTimerOn = true; }
  void DisableRenderTimer() override { renderTimerOn = false; }
  void EnableNoteTimer(std::int32_t interval) override { noteTimerOn = true, noteInterval = interval; }
  void DisableNoteTimer() override { noteTimerOn = false; }

  bool renderTimerOn = false, noteTimerOn = false;
  std::int32_t noteInterval = -1;
};

// An Orbiter whose timers are only recorded, on a picture held in memory.
class OrbiterTimerTest : public testing::Test {
 protected:
  MemorySurface surface{273, 273};
  TimerView view;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiDevice{service, dialogs};
  TemporaryFolder folder;
  Orbiter orbiter{view, midiDevice, dialogs, folder.Path()};
};

TEST_F(OrbiterTimerTest, NoteTimerUsesFiveMillisecondsFromPlayAndFiftyFromATick) {
  const auto noteOns = [&] {
    int count = 0;
    for (const std::uint32_t message : service.DeliveredMessages()) count += (message & 0xF0) == 0x90 && message >> 16;
    return count;
  };
  orbiter.Load(surface);
  while (view.renderTimerOn) orbiter.OnRenderTimerTick();
  // The second orbit value of this point lies just above -2i: its interval
  // is below one millisecond.
  orbiter.CurrentTexts().real = "0.5625";
  orbiter.OnRealLostFocus();
  orbiter.CurrentTexts().imaginary = "-0.93964";
  orbiter.OnImaginaryLostFocus();
  orbiter.OnPlay();
  EXPECT_EQ(view.noteInterval, 5);
  service.ClearCalls();
  orbiter.OnNoteTimerTick();
  const double sounded = (*ParseNumber(orbiter.CurrentTexts().currentImaginary) + 2) * 125;
  ASSERT_TRUE(sounded > 0.0 && sounded < 1.0) << sounded;
  EXPECT_EQ(view.noteInterval, 50);
  EXPECT_EQ(noteOns(), 1);
  EXPECT_EQ(service.DeliveredMessages().front() & 0xFF, 0xB0u) << "each tick first silences the last note";
  // The next value leaves the disc: drawn, silent, and the tick after only silences.
  orbiter.OnNoteTimerTick();
  EXPECT_TRUE(orbiter.OrbitStopped());
  EXPECT_EQ(noteOns(), 1);
  orbiter.OnNoteTimerTick();
  EXPECT_FALSE(view.noteTimerOn);
}

// Inputs, New Point, Iterate, Play, Save Song: "1" where enabled.
std::string EnabledControls(const Orbiter& orbiter) {
  const Orbiter::Enabled& on = orbiter.ControlsEnabled();
  std::string flags;
  for (const bool enabled : {on.inputs, on.newPoint, on.iterate, on.play, on.saveSong}) flags += enabled ? '1' : '0';
  return flags;
}

TEST_F(OrbiterTimerTest, TheControlsWalkTheirStateTableFromRenderingThroughChoosingOrbitingAndExploding) {
  orbiter.Load(surface);
  EXPECT_EQ(EnabledControls(orbiter), "00000") << "rendering";
  // Bank 0, then the harp, on channel 0.
  EXPECT_EQ(service.DeliveredMessages(), (std::vector<std::uint32_t>{0xB0, 0xC0 | (46 << 8)}));
  while (view.renderTimerOn) orbiter.OnRenderTimerTick();
  EXPECT_EQ(EnabledControls(orbiter), "10111") << "choosing";
  EXPECT_EQ(orbiter.CurrentTexts().progress, "Click on a point to iterate or key in the values above");

  const FractalRenderer& renderer = orbiter.Renderer();
  orbiter.OnPicturePicked(40, 60);
  EXPECT_EQ(orbiter.CurrentTexts().real, FormatNumber(renderer.GetVirtualX(40)));
  EXPECT_EQ(orbiter.CurrentTexts().imaginary, FormatNumber(-renderer.GetVirtualY(60))) << "the imaginary axis points up";
  EXPECT_EQ(orbiter.CurrentTexts().progress, "Click on 'Iterate' to reiterate the point");
  EXPECT_EQ(EnabledControls(orbiter), "01111") << "orbiting";
  orbiter.OnPlay();
  EXPECT_EQ(EnabledControls(orbiter), "01111") << "playing enables the same controls";
  orbiter.OnNewPoint();
  EXPECT_EQ(EnabledControls(orbiter), "10111");
  EXPECT_FALSE(orbiter.IsNoteTimerRunning());

  // 1.5 + 1.5i leaves the disc on its second step.
  orbiter.CurrentTexts().real = "1.5";
  orbiter.CurrentTexts().imaginary = "1.5";
  orbiter.OnImaginaryLostFocus();
  EXPECT_EQ(orbiter.CurrentTexts().currentReal, "1.5");
  EXPECT_EQ(orbiter.CurrentTexts().currentImaginary, "1.5");
  orbiter.OnIterate();
  orbiter.OnIterate();
  EXPECT_EQ(EnabledControls(orbiter), "01001") << "exploded";
  EXPECT_EQ(orbiter.CurrentTexts().progress, "The point has exploded.  Click on 'New Point'");
  orbiter.OnNewPoint();
  EXPECT_EQ(EnabledControls(orbiter), "10111");
  orbiter.CurrentTexts().real = "-0.1";
  orbiter.CurrentTexts().imaginary = "0.1";
  orbiter.OnImaginaryLostFocus();
  orbiter.OnRealLostFocus();
  EXPECT_EQ(orbiter.CurrentTexts().currentReal, "-0.1");
  EXPECT_EQ(orbiter.CurrentTexts().currentImaginary, "0.1");
}

}  // namespace
