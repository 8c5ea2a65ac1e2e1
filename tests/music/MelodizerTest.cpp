#include "Melodizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "EscapeCount.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

// Settings are built with designated initializers, the traced line being set afterwards.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Notes = std::vector<std::vector<int>>;  // [position][level]

// The note of every level at every position of a slanted line, from the
// escape counts alone; the scales are checked on their own.
Notes IndependentNotes(const MelodizerSettings& s) {
  const ComplexNumber a = s.FirstPoint(), b = s.SecondPoint();
  const int steps = std::stoi(s.measures) * 8, limit = std::stoi(s.maxIterations);
  const double exponent = 20.0 / (180 - s.mountainBar), slope = (b.imaginary - a.imaginary) / (b.real - a.real);
  Notes notes(steps + 1);
  for (int p = 0; p <= steps; ++p)
    for (int k = 0; k <= s.complexity; ++k) {
      const double re = a.real + ((1 << k) * p % steps) * ((b.real - a.real) / steps);
      const int count = EscapeCount({false, {}, limit}, {re, re * slope + (a.imaginary - a.real * slope)});
      const double height = std::pow(count, exponent) / std::pow(limit, exponent) * MelodizerSettings::kPictureHeight;
      notes[p].push_back(ScaleTables().GetNote(static_cast<std::int16_t>(std::lrint(height)), s.scaleType, s.key,
                                               s.octave));
    }
  return notes;
}

// What the song and live playback must hold, walking the notes as both do,
// highest level first: a change turns the old note off and the new one on,
// notes from 120 up being silence. The song has every level on channel 0 at
// velocity 127, 16 ticks a position, and ends the notes still sounding;
// live, each level sounds on its own channel at velocity 100.
std::pair<std::vector<std::uint8_t>, std::vector<std::uint32_t>> IndependentPlay(const MelodizerSettings& s,
                                                                                 const Notes& notes) {
  ExpectedSong song(s.patch, static_cast<int>(60000000 / std::stod(s.tempo)));
  std::vector<std::uint32_t> live;
  std::vector<int> last(4, 0), sounding(4, -1);
  std::uint32_t pending = 0;
  for (const auto& position : notes) {
    for (int k = static_cast<int>(position.size()) - 1; k >= 0; --k) {
      if (position[k] == last[k]) continue;
      if (last[k] < 120) live.push_back(0x90 | k | last[k] << 8), song.NoteOff(std::exchange(pending, 0), last[k]);
      sounding[k] = position[k] < 120 ? position[k] : -1;
      if (sounding[k] >= 0) {
        live.push_back(0x90 | k | position[k] << 8 | 100 << 16);
        song.NoteOn(std::exchange(pending, 0), position[k], 127);
      }
      last[k] = position[k];
    }
    pending += 16;
  }
  for (int k = 3; k >= 0; --k)
    if (sounding[k] >= 0) song.NoteOff(std::exchange(pending, 0), sounding[k]);
  return {song.File(pending), live};
}

class RecordingView final : public MelodyView {
 public:
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

  int clears = 0, lines = 0;
  bool timerOn = false;
  std::int32_t timerInterval = 0;
  std::function<void()> duringWait;
};

class MelodizerTest : public ::testing::Test {
 protected:
  MelodizerTest() {
    melodizer.Load();
    melodizer.SetRegion(0.0, 0.0, 0.0, 0.0, 256);
    melodizer.Controls().measures = "1";
    service.ClearCalls();
  }
  // Short messages as sent (status | data1 << 8 | data2 << 16), or only the notes.
  std::vector<std::uint32_t> Sent(bool onlyNotes = false) const {
    std::vector<std::uint32_t> messages;
    for (const std::uint32_t message : service.DeliveredMessages())
      if (!onlyNotes || (message & 0xF0) == 0x90) messages.push_back(message);
    return messages;
  }
  void RunToTheEnd() {
    for (int ticks = 0; view.timerOn && ticks < 10000; ++ticks) melodizer.OnTimerTick();
  }

  RecordingView view;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiOut{service, dialogs};
  TemporaryFolder folder;
  std::string path = folder.File("melody.mid");
  Melodizer melodizer{view, midiOut, dialogs, folder.Path()};
};

TEST_F(MelodizerTest, SongsAndLivePlaybackSoundTheNotesOfEveryLevelAtEveryPosition) {
  MelodizerSettings slanted{.measures = "2", .tempo = "100", .key = 2, .octave = 2, .scaleType = 0, .complexity = 2,
                            .patch = 5, .mountainBar = 90};
  slanted.SetRegion(-2.0, 0.1, 0.5, -0.05, 64);
  // From inside the set, where chromatic notes an octave up are silent, out
  // along the real axis and, at the last position, back to the first point.
  MelodizerSettings silences{.measures = "2", .octave = 1, .scaleType = ScaleTables::kChromatic, .complexity = 3};
  silences.SetRegion(0.0, 0.0, 1.0, 0.0, 256);
  for (const MelodizerSettings& settings : {slanted, silences}) {
    SCOPED_TRACE(settings.scaleType);
    const auto [song, live] = IndependentPlay(settings, IndependentNotes(settings));
    melodizer.Controls() = settings;
    ASSERT_EQ(melodizer.SaveSong(path).outcome, SongResult::Outcome::Saved);
    EXPECT_EQ(FirstDifference(ReadBytes(path), song), "");
    melodizer.OnPlay();
    RunToTheEnd();
    EXPECT_EQ(Sent(true), live);
    service.ClearCalls();
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
    view.duringWait = [this] { melodizer.Unload(); };
    melodizer.OnRedraw();
  }};
  for (const auto& end : ends) {
    melodizer.OnPlay();
    melodizer.OnTimerTick();
    EXPECT_EQ(std::pair(melodizer.Position(), view.timerInterval), std::pair(2.0, 125));
    service.ClearCalls();
    const int clears = view.clears;
    end();
    const auto sent = Sent();
    ASSERT_GE(sent.size(), 32u);
    EXPECT_TRUE(std::all_of(sent.end() - 32, sent.end(), [](std::uint32_t m) { return (m & 0xF0) == 0xB0; }));
    melodizer.OnTimerTick();
    EXPECT_EQ(std::tuple(melodizer.Position(), view.timerOn, view.clears), std::tuple(0.0, false, clears));
  }
  EXPECT_FALSE(midiOut.IsOpen());
  melodizer.StartMelody(1, true);
  EXPECT_FALSE(view.timerOn) << "nothing starts after the close";
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
    const int clears = view.clears;
    edit();
    EXPECT_EQ(view.clears, clears + (redraws ? 1 : 0));
    EXPECT_TRUE(!redraws || melodizer.Position() == 1.0) << "the new run has drawn its first position";
  }
  EXPECT_EQ(std::tuple(melodizer.Controls().maxIterations, melodizer.rndRenderer.GetMaxIterations(),
                       view.timerInterval),
            std::tuple(std::string("32"), 32, 500));
  melodizer.Controls().scaleType = -1;  // no scale: no guide lines
  const int lines = view.lines;
  melodizer.DrawGrid();
  EXPECT_EQ(view.lines, lines);
}

}  // namespace
