#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "EscapeCount.h"
#include "Melodizer.h"
#include "MemorySurface.h"
#include "Orbiter.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongAudioExport.h"
#include "SongBytes.h"
#include "TypedValues.h"

// Settings are built with designated initializers, the traced line being set afterwards.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace std::literals;
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
  const double slope = (b.imaginary - a.imaginary) / (b.real - a.real);
  const double intercept = a.imaginary - a.real * slope;
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
      const auto index = static_cast<std::int16_t>(std::lrint(height));
      const int note = ScaleTables().GetNote(index, s.scaleType, s.key, s.octave);
      if (note == last[k]) continue;
      if (last[k] < 120) play(k, last[k], false);
      if (note < 120) play(k, note, true);
      last[k] = note;
    }
  for (int k = s.complexity; k >= 0; --k)
    if (last[k] < 120) song.NoteOff(std::exchange(pending, 0), last[k]);
  return {song.File(pending), live};
}

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

// The Melodizer, loaded, and the Orbiter on a picture held in memory, both
// drawing into this test, which records their timers and what they ask of
// the window, and sounding on one output as in the program. Temporary
// files go to a folder of the test's own, so that songs saved by tests
// running at the same time are not counted as leftovers.
class MusicModelsTest : public testing::Test, public MelodyView, public OrbiterView {
 protected:
  MusicModelsTest() {
    setenv("TMPDIR", temporary.Path().c_str(), 1);
    melodizer.Load();
    melodizer.Controls().measures = "1";
    service.ClearCalls();
  }
  // Back to the folder the private one was made in, which is where it was.
  ~MusicModelsTest() override { setenv("TMPDIR", temporary.Path().parent_path().c_str(), 1); }
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
  void DrawOrbitStart(OrbitPixel) override {}
  void DrawOrbitStep(OrbitPixel) override {}
  void KeepOriginalPicture() override {}
  void RestoreOriginalPicture() override {}
  void EnableRenderTimer() override { renderTimerOn = true; }
  void DisableRenderTimer() override { renderTimerOn = false; }
  void EnableNoteTimer(std::int32_t interval) override { noteTimerOn = true, noteInterval = interval; }
  void DisableNoteTimer() override { noteTimerOn = false; }

  void RunToTheEnd() {
    for (int ticks = 0; timerOn && ticks < 10000; ++ticks) melodizer.OnTimerTick();
  }
  void Choose(const std::string& real, const std::string& imaginary) {
    orbiter.CurrentTexts().real = real;
    orbiter.OnRealLostFocus();
    orbiter.CurrentTexts().imaginary = imaginary;
    orbiter.OnImaginaryLostFocus();
  }

  int clears = 0, lines = 0;
  bool timerOn = false, renderTimerOn = false, noteTimerOn = false;
  std::int32_t timerInterval = 0, noteInterval = -1;
  std::function<void()> duringWait;
  MemorySurface surface{273, 273};
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiOut{service, dialogs};
  TemporaryFolder temporary, folder;
  Melodizer melodizer{*this, midiOut, dialogs, folder.Path()};
  Orbiter orbiter{*this, midiOut, dialogs, folder.Path()};
};

TEST_F(MusicModelsTest, MelodizerSongsAndLivePlaybackSoundTheNotesOfEveryLevelAtEveryPosition) {
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
    Messages notes = service.DeliveredMessages();
    std::erase_if(notes, [](std::uint32_t message) { return (message & 0xF0) != 0x90; });
    EXPECT_EQ(notes, live);
  }
}

TEST_F(MusicModelsTest, MelodizerARunPlaysOnePositionPerTickAndEveryEndSilencesAndRewinds) {
  melodizer.rndRenderer.SetFractal(FractalType::Julia);
  melodizer.Load();
  // Bank, then Atmosphere, on every channel.
  for (std::uint32_t channel = 0; channel < 16; ++channel)
    EXPECT_EQ(service.DeliveredMessages().at(2 * channel + 1), 0xC0 + channel + (99 << 8)) << channel;
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
    const Messages sent = service.DeliveredMessages();
    ASSERT_GE(sent.size(), 32u);
    EXPECT_TRUE(std::all_of(sent.end() - 32, sent.end(), [](std::uint32_t m) { return (m & 0xF0) == 0xB0; }));
    melodizer.OnTimerTick();
    EXPECT_EQ(std::tuple(melodizer.Position(), timerOn, clears), std::tuple(0.0, false, clearsBefore));
  }
  EXPECT_FALSE(midiOut.IsOpen());
  melodizer.StartMelody(1, true);
  EXPECT_FALSE(timerOn) << "nothing starts after the close";
}

TEST_F(MusicModelsTest, MelodizerEditsRedrawFromTheLeftOnlyWhenTheyChangeTheMelody) {
  const auto limit = [this](const char* typed) { melodizer.Controls().maxIterations = typed; };
  const std::pair<std::function<void()>, bool> edits[] = {
      {[&] { limit("300"); melodizer.OnMaxIterationsLostFocus(); }, true},
      {[&] { melodizer.OnMaxIterationsLostFocus(); }, false},
      {[&] { limit("10"); melodizer.OnMaxIterationsLostFocus(); }, true},
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

TEST_F(MusicModelsTest, OrbiterASavedSongHoldsTheOrbitUntilItEscapesOrTheNumberOfNotesAsked) {
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
    Choose(FormatNumber(c.real), FormatNumber(c.imaginary));
    ASSERT_EQ(orbiter.SaveOrbitSong(folder.File("orbit.mid")).outcome, SongResult::Outcome::Saved);
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
  EXPECT_EQ(orbiter.SaveOrbitSong(folder.File("orbit.mid")).outcome, SongResult::Outcome::Failed);
  EXPECT_FALSE(std::filesystem::exists(folder.File("orbit.mid")));
}

TEST_F(MusicModelsTest, OrbiterTheControlsTimersAndNotesWalkTheirStateTable) {
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

// Songs saved as audio through the save command, as the windows run it, and
// what is left on disk when the work fails or is cancelled. The formats
// themselves are the renderer's, checked with it and by the commands.
TEST_F(MusicModelsTest, SaveCommandAudioIsMadeBehindAProgressDisplayAndACancelOrFailureKeepsTheOlderFile) {
  // Half a second of a harp note at 120 bpm, then the end.
  const auto shortSong = [](const std::string& fileName) {
    WriteBytes(fileName, ExpectedSong(46, 500000).NoteOn(0, 60, 127).NoteOff(64, 60).File());
    return SongResult{};
  };
  const std::vector<std::uint8_t> older{'o', 'l', 'd'};
  WriteBytes(folder.File("song.ogg"), older);
  dialogs.CancelProgressAt(0.3);  // the first audio made
  for (const MessageAnswer replacing : {MessageAnswer::No, MessageAnswer::Yes}) {
    dialogs.AnswerSaveFile(folder.File("song.ogg"));
    dialogs.AnswerMessage(replacing);
    RunSaveSongCommand(dialogs, shortSong);
  }
  EXPECT_GE(dialogs.ProgressReports().back(), 0.3);
  dialogs.AnswerSaveFile(folder.File("song.flac"));
  RunSaveSongCommand(dialogs, shortSong);
  EXPECT_EQ(dialogs.History().at(0).text + " " + dialogs.History()[0].defaultAnswer,
            "MIDI Files (*.mid);;Wave Files (*.wav);;FLAC Files (*.flac);;Ogg Vorbis Files (*.ogg) mid");
  const auto progress = [](const auto& shown) { return shown.kind == ScriptedDialogs::Kind::Progress; };
  EXPECT_EQ(std::ranges::count_if(dialogs.History(), progress), 2) << "one display for each audio file";
  const std::string replace = "The file [" + folder.File("song.ogg") +
                              "] already exists.  Would you like to overwrite?";
  const char* const notSaved = "The song was not saved.";
  EXPECT_THAT(dialogs.Messages(),
              testing::ElementsAre(replace, notSaved, replace, notSaved, "The song was saved successfully."));
  // The renderer's own reasons are checked with it; here a failure only must not count as saved.
  const auto failedMidi = [](const std::string&) { return SongResult{SongResult::Outcome::Failed, "full"}; };
  const SongResult failures[] = {
      ExportSongAudio(folder.File("song.ogg"), shortSong, {}, SongAudioRenderer({folder.File("x.sf2")})),
      ExportSongAudio(folder.File("song.ogg"), failedMidi, {}),
      ExportSongAudio(folder.Path() / "gone" / "song.ogg", shortSong, {})};
  for (const SongResult& failure : failures) EXPECT_NE(failure.outcome, SongResult::Outcome::Saved);
  EXPECT_EQ(ReadBytes(folder.File("song.ogg")), older);
  EXPECT_TRUE(std::filesystem::is_empty(temporary.Path())) << "no temporary song is left";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "nor a partial one";
}

}  // namespace
