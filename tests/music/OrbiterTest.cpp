#include "Orbiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "EscapeCount.h"
#include "MemorySurface.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "TypedValues.h"

namespace {

using namespace std::literals;

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
    song.NoteOn(0, pitch, static_cast<int>(std::lrint(std::sqrt(squared) * 31.25 + 64))).NoteOff(32, pitch);
  }
  return song.File();
}

// An Orbiter on a picture held in memory, whose timers this test only records.
class OrbiterTest : public testing::Test, public OrbiterView {
 protected:
  void DrawOrbitStart(OrbitPixel) override {}
  void DrawOrbitStep(OrbitPixel) override {}
  void KeepOriginalPicture() override {}
  void RestoreOriginalPicture() override {}
  void EnableRenderTimer() override { renderTimerOn = true; }
  void DisableRenderTimer() override { renderTimerOn = false; }
  void EnableNoteTimer(std::int32_t interval) override { noteTimerOn = true, noteInterval = interval; }
  void DisableNoteTimer() override { noteTimerOn = false; }

  void Choose(const char* real, const char* imaginary) {
    orbiter.CurrentTexts().real = real;
    orbiter.OnRealLostFocus();
    orbiter.CurrentTexts().imaginary = imaginary;
    orbiter.OnImaginaryLostFocus();
  }
  SongResult Save(ComplexNumber c) {
    orbiter.CurrentTexts().real = FormatNumber(c.real);
    orbiter.CurrentTexts().imaginary = FormatNumber(c.imaginary);
    return orbiter.SaveOrbitSong(folder.File("orbit.mid"));
  }

  bool renderTimerOn = false, noteTimerOn = false;
  std::int32_t noteInterval = -1;
  MemorySurface surface{273, 273};
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiDevice{service, dialogs};
  TemporaryFolder folder;
  Orbiter orbiter{*this, midiDevice, dialogs, folder.Path()};
};

TEST_F(OrbiterTest, ASavedSongHoldsTheOrbitUntilItEscapesOrTheNumberOfNotesAsked) {
  // Without an answer the point escapes below the cap and nothing is asked;
  // 2 + 2i escapes at once, leaving only the opening events. What is typed
  // is held to 1..16000, and what is no number gives 200.
  const std::tuple<ComplexNumber, std::optional<std::string>, int> cases[] = {
      {{-0.75, 0.12}, {}, 16000}, {{2.0, 2.0}, {}, 0},         {{-0.1, 0.1}, "150", 150},
      {{-0.1, 0.1}, "20000", 16000}, {{-0.1, 0.1}, "0", 1}, {{-0.1, 0.1}, "x", 200}};
  for (const auto& [c, answer, notes] : cases) {
    SCOPED_TRACE(answer.value_or("none"));
    dialogs.ClearHistory();
    if (answer) dialogs.AnswerInput(*answer);
    ASSERT_EQ(Save(c).outcome, SongResult::Outcome::Saved);
    EXPECT_EQ(FirstDifference(ReadBytes(folder.File("orbit.mid")), IndependentOrbitSong(c, notes)), "");
    EXPECT_EQ(dialogs.History().size(), !answer ? 0u : ParseNumber(*answer) ? 1u : 2u);
  }
  EXPECT_EQ(dialogs.History()[0].text + " " + dialogs.History()[0].defaultAnswer,
            "The point that you selected appears to converge.  How many iterations of the point would you "
            "like to record? (max. 16000) 200");
  EXPECT_EQ(dialogs.Messages(), std::vector{"You did not type in a valid number.  The maximum number of "
                                            "iterations will be set to 200."s});
  std::filesystem::remove(folder.File("orbit.mid"));
  dialogs.AnswerInput("1e10");  // beyond 32 bits: fails before any file is made
  EXPECT_EQ(Save({0.0, 0.0}).outcome, SongResult::Outcome::Failed);
  EXPECT_FALSE(std::filesystem::exists(folder.File("orbit.mid")));
}

TEST_F(OrbiterTest, TheControlsTimersAndNotesWalkTheirStateTable) {
  // Inputs, New Point, Iterate, Play, Save Song: "1" where enabled; "+" and
  // the interval while the note timer runs; the notes sounded; the status line.
  const auto shown = [this] {
    const Orbiter::Enabled& on = orbiter.ControlsEnabled();
    std::string text;
    for (const bool enabled : {on.inputs, on.newPoint, on.iterate, on.play, on.saveSong})
      text += enabled ? '1' : '0';
    if (noteTimerOn) text += "+" + std::to_string(noteInterval);
    int notes = 0;
    for (const std::uint32_t message : service.DeliveredMessages())
      notes += (message & 0xF0) == 0x90 && message >> 16;
    const std::string& progress = orbiter.CurrentTexts().progress;
    return text + " " + std::to_string(notes) + " " +
           (progress == "Click on a point to iterate or key in the values above" ? "choose"
            : progress == "Click on 'Iterate' to reiterate the point"            ? "reiterate"
            : progress == "The point has exploded.  Click on 'New Point'"        ? "exploded"
                                                                                 : progress);
  };
  const std::pair<std::function<void()>, const char*> steps[] = {
      {[&] { orbiter.Load(surface); }, "00000 0 "},
      {[&] { while (renderTimerOn) orbiter.OnRenderTimerTick(); }, "10111 0 choose"},
      // The first step only marks the start; below 1 ms the next interval is
      // 5 ms from Play. The second value lies just above -2i (50 ms from a
      // tick); the third leaves the disc: drawn, silent, and the next tick
      // only silences.
      {[&] { Choose("0.5625", "-0.93964"); orbiter.OnPlay(); }, "01111+5 0 reiterate"},
      {[&] { orbiter.OnNoteTimerTick(); }, "01111+50 1 reiterate"},
      {[&] { orbiter.OnNoteTimerTick(); }, "01111+50 1 reiterate"},
      {[&] { orbiter.OnNoteTimerTick(); }, "01111 1 reiterate"},
      {[&] { orbiter.OnNewPoint(); }, "10111 1 choose"},
      // Right after New Point, Play only starts the orbit and its first tick
      // stops; a second Play plays on: z2 = -0.0994 + 0.081002i lasts
      // (2 + 0.081002) x 125 ms, z3 = -0.09568 + 0.084897i 260.6 ms.
      {[&] { Choose("-0.1", "0.1"); orbiter.OnPlay(); orbiter.OnNoteTimerTick(); }, "01111 1 reiterate"},
      {[&] { orbiter.OnPlay(); }, "01111+260 2 reiterate"},
      {[&] { orbiter.OnNoteTimerTick(); }, "01111+261 3 reiterate"},
      {[&] { orbiter.OnNewPoint(); }, "10111 3 choose"},
      // 1.5 + 1.5i leaves the disc on its first step.
      {[&] { Choose("1.5", "1.5"); orbiter.OnIterate(); orbiter.OnIterate(); }, "01001 3 exploded"},
      {[&] { orbiter.OnNewPoint(); orbiter.OnPicturePicked(40, 60); }, "01111 3 reiterate"}};
  for (const auto& [step, expected] : steps) {
    step();
    EXPECT_EQ(shown(), expected);
  }
  EXPECT_EQ(service.DeliveredMessages().at(1), 0xC0u | (46 << 8)) << "the harp on channel 0";
  // A pick takes the picture's point, the imaginary axis pointing up.
  EXPECT_EQ(std::pair(orbiter.CurrentTexts().real, orbiter.CurrentTexts().imaginary),
            std::pair(FormatNumber(-2 + 40 * 4.0 / 273), FormatNumber(2 - 60 * 4.0 / 273)));
  orbiter.OnNewPoint();
  orbiter.CurrentTexts().real = "-3.7";
  orbiter.OnRealLostFocus();
  EXPECT_EQ(std::pair(orbiter.CurrentTexts().currentReal, orbiter.CurrentTexts().currentImaginary),
            std::pair("-2"s, orbiter.CurrentTexts().imaginary));
}

}  // namespace
