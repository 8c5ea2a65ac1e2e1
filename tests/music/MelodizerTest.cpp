#include "Melodizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "EscapeCount.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

// Settings are built with designated initializers, the traced line being set afterwards.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Messages = std::vector<std::uint32_t>;  // status | data1 << 8 | data2 << 16

// The song and the live notes of a line, from the escape counts alone (the
// scales are checked on their own), walking the levels as both do, highest
// first: a change turns the old note off and the new one on, notes from 120
// up being silence. The song has every level on channel 0 at velocity 127,
// 16 ticks a position, and ends the notes still sounding; live, each level
// sounds on its own channel at velocity 100. (A level held at note 0 from
// the start is never struck; no line here has one.)
std::pair<std::vector<std::uint8_t>, Messages> IndependentPlay(const MelodizerSettings& s) {
  const ComplexNumber a = s.FirstPoint(), b = s.SecondPoint();
  const int steps = std::stoi(s.measures) * 8, limit = std::stoi(s.maxIterations);
  const double exponent = 20.0 / (180 - s.mountainBar);
  const double slope = (b.imaginary - a.imaginary) / (b.real - a.real), intercept = a.imaginary - a.real * slope;
  ExpectedSong song(s.patch, static_cast<int>(60000000 / std::stod(s.tempo)));
  Messages live;
  std::uint32_t pending = 0;
  const auto play = [&](int level, int note, bool on) {
    live.push_back(0x90 | level | note << 8 | (on ? 100 : 0) << 16);
    on ? song.NoteOn(std::exchange(pending, 0), note, 127) : song.NoteOff(std::exchange(pending, 0), note);
  };
  std::vector<int> last(4, 0);
  for (int p = 0; p <= steps; ++p, pending += 16)
    for (int k = s.complexity; k >= 0; --k) {
      const double re = a.real + ((1 << k) * p % steps) * ((b.real - a.real) / steps);
      const int count = EscapeCount({false, {}, limit}, {re, re * slope + intercept});
      const double height =
          std::pow(count, exponent) / std::pow(limit, exponent) * MelodizerSettings::kPictureHeight;
      const int note = ScaleTables().GetNote(static_cast<std::int16_t>(std::lrint(height)), s.scaleType, s.key,
                                             s.octave);
      if (note == last[k]) continue;
      if (last[k] < 120) play(k, last[k], false);
      if (note < 120) play(k, note, true);
      last[k] = note;
    }
  for (int k = s.complexity; k >= 0; --k)
    if (last[k] < 120) song.NoteOff(std::exchange(pending, 0), last[k]);
  return {song.File(pending), live};
}

// The Melodizer drawing into this test, which records its timer and what it
// was asked to draw.
class MelodizerTest : public testing::Test, public MelodyView {
 protected:
  MelodizerTest() {
    melodizer.Load();
    melodizer.SetRegion(0.0, 0.0, 0.0, 0.0, 256);
    melodizer.Controls().measures = "1";
    service.ClearCalls();
  }
  void ClearMelody() override { ++clears; }
  void DrawMelodyLine(PicturePoint, PicturePoint, std::int32_t) override { ++lines; }
  void SetMelodyPixel(PicturePoint, std::int32_t) override {}
  void MoveTracerTo(double) override {}
  void EnableTimer(std::int32_t interval) override { timerOn = true, timerInterval = interval; }
  void DisableTimer() override { timerOn = false; }
  void SetTimerInterval(std::int32_t interval) override { timerInterval = interval; }
  // Runs duringWait once, as a click handled while waiting would.
  void Wait(double) override {
    if (duringWait) std::exchange(duringWait, nullptr)();
  }
  void ProcessPendingEvents() override {}

  Messages Sent(bool onlyNotes = false) const {
    Messages messages;
    for (const std::uint32_t message : service.DeliveredMessages())
      if (!onlyNotes || (message & 0xF0) == 0x90) messages.push_back(message);
    return messages;
  }
  void RunToTheEnd() {
    for (int ticks = 0; timerOn && ticks < 10000; ++ticks) melodizer.OnTimerTick();
  }

  int clears = 0, lines = 0;
  bool timerOn = false;
  std::int32_t timerInterval = 0;
  std::function<void()> duringWait;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiOut{service, dialogs};
  TemporaryFolder folder;
  Melodizer melodizer{*this, midiOut, dialogs, folder.Path()};
};

TEST_F(MelodizerTest, SongsAndLivePlaybackSoundTheNotesOfEveryLevelAtEveryPosition) {
  MelodizerSettings slanted{.measures = "2", .tempo = "100", .key = 2, .octave = 2, .scaleType = 0,
                            .complexity = 2, .patch = 5, .mountainBar = 90};
  slanted.SetRegion(-2.0, 0.1, 0.5, -0.05, 64);
  // From inside the set, where chromatic notes an octave up are silent, out
  // along the real axis and, at the last position, back to the first point.
  MelodizerSettings silences{
      .measures = "2", .octave = 1, .scaleType = ScaleTables::kChromatic, .complexity = 3};
  silences.SetRegion(0.0, 0.0, 1.0, 0.0, 256);
  for (const MelodizerSettings& settings : {slanted, silences}) {
    SCOPED_TRACE(settings.scaleType);
    const auto [song, live] = IndependentPlay(settings);
    melodizer.Controls() = settings;
    ASSERT_EQ(melodizer.SaveSong(folder.File("melody.mid")).outcome, SongResult::Outcome::Saved);
    EXPECT_EQ(FirstDifference(ReadBytes(folder.File("melody.mid")), song), "");
    service.ClearCalls();
    melodizer.OnPlay();
    RunToTheEnd();
    EXPECT_EQ(Sent(true), live);
  }
}

TEST_F(MelodizerTest, ARunPlaysOnePositionPerTickAndEveryEndSilencesAndRewinds) {
  melodizer.rndRenderer.SetFractal(FractalType::Julia);
  melodizer.Load();
  for (std::uint32_t channel = 0; channel < 16; ++channel)
    EXPECT_EQ(Sent().at(2 * channel + 1), 0xC0 + channel + (99 << 8)) << "bank, then Atmosphere";
  EXPECT_EQ(melodizer.rndRenderer.GetFractalType(), FractalType::Mandelbrot) << "a load starts afresh";
  melodizer.Controls().measures = "1";
  // The end of the run, Stop, and a close during the wait of a restart each
  // silence at once and leave no run and no timer behind, whatever stray
  // tick follows.
  const std::function<void()> ends[] = {[this] { RunToTheEnd(); }, [this] { melodizer.OnStop(); }, [this] {
    duringWait = [this] { melodizer.Unload(); };
    melodizer.OnRedraw();
  }};
  for (const auto& end : ends) {
    melodizer.OnPlay();
    melodizer.OnTimerTick();
    EXPECT_EQ(std::pair(melodizer.Position(), timerInterval), std::pair(2.0, 125));
    service.ClearCalls();
    const int clearsBefore = clears;
    end();
    const auto sent = Sent();
    ASSERT_GE(sent.size(), 32u);
    EXPECT_TRUE(std::all_of(sent.end() - 32, sent.end(), [](std::uint32_t m) { return (m & 0xF0) == 0xB0; }));
    melodizer.OnTimerTick();
    EXPECT_EQ(std::tuple(melodizer.Position(), timerOn, clears), std::tuple(0.0, false, clearsBefore));
  }
  EXPECT_FALSE(midiOut.IsOpen());
  melodizer.StartMelody(1, true);
  EXPECT_FALSE(timerOn) << "nothing starts after the close";
}

TEST_F(MelodizerTest, EditsRedrawFromTheLeftOnlyWhenTheyChangeTheMelody) {
  const auto limit = [this](const char* typed) {
    melodizer.Controls().maxIterations = typed;
    melodizer.OnMaxIterationsLostFocus();
  };
  const std::pair<std::function<void()>, bool> edits[] = {
      {[&] { limit("300"); }, true}, {[&] { limit("300"); }, false}, {[&] { limit("10"); }, true},
      {[this] { EXPECT_EQ(melodizer.OnListChanged(Melodizer::List::Complexity, -1), 0); }, true},
      {[this] { melodizer.OnListChanged(Melodizer::List::Key, 5); }, false},
      // The main window can hand over a limit below 1; heights divide by a power of it.
      {[this] { melodizer.SetRegion(-0.75, 0.1, 0.25, 0.5, 0); melodizer.StartMelody(1, false); }, true},
      {[this] { melodizer.Controls().tempo = "10"; melodizer.OnTempoLostFocus(); }, false}};
  for (const auto& [edit, redraws] : edits) {
    const int clearsBefore = clears;
    edit();
    EXPECT_EQ(clears, clearsBefore + (redraws ? 1 : 0));
    EXPECT_TRUE(!redraws || melodizer.Position() == 1.0) << "the new run has drawn its first position";
  }
  EXPECT_EQ(melodizer.Controls().maxIterations, "32");
  EXPECT_EQ(std::pair(melodizer.rndRenderer.GetMaxIterations(), timerInterval), std::pair(32, 500));
  melodizer.Controls().scaleType = -1;  // no scale: no guide lines
  const int linesBefore = lines;
  melodizer.DrawGrid();
  EXPECT_EQ(lines, linesBefore);
}

}  // namespace
