#include "Melodizer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "EscapeCount.h"
#include "MelodySong.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

// Settings are built with designated initializers, the traced line being set afterwards.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr int kTempo120 = 500000;
constexpr std::uint32_t kTicksPerPosition = 16;

class MelodySongTest : public ::testing::Test {
 protected:
  MelodySongTest() {
    settings.SetRegion(0.0, 0.0, 0.0, 0.0, 256);
    settings.measures = "1";
  }
  std::vector<std::uint8_t> Save() {
    MIDIFile file(folder.Path(), dialogs);
    const SongResult result = WriteMelodySong(file, path, settings, renderer, scales);
    EXPECT_EQ(result.outcome, SongResult::Outcome::Saved) << result.error;
    return ReadBytes(path);
  }

  TemporaryFolder folder;
  std::string path = folder.File("song.mid");
  ScriptedDialogs dialogs;
  MelodizerSettings settings;
  FractalRenderer renderer;
  ScaleTables scales;
};

TEST_F(MelodySongTest, HeldNotesEndWithTheirLengthHighestLevelFirst) {
  // c = 0 never escapes: height 109, index 109 of Minor Pentatonic in C is
  // 21 octaves and a minor seventh, 262 mod 108 = 46.
  ExpectedSong one(99, kTempo120);
  one.NoteOff(0, 0).NoteOn(0, 46, 127).NoteOff(9 * kTicksPerPosition, 46);
  EXPECT_EQ(FirstDifference(Save(), one.File()), "");

  settings.complexity = 1;
  settings.scaleType = 0;  // Major: index 109 is 15 octaves and a fifth, 187 mod 108 = 79
  ExpectedSong two(99, kTempo120);
  two.NoteOff(0, 0).NoteOn(0, 79, 127).NoteOff(0, 0).NoteOn(0, 79, 127);
  two.NoteOff(9 * kTicksPerPosition, 79).NoteOff(0, 79);
  EXPECT_EQ(FirstDifference(Save(), two.File()), "");
}

TEST_F(MelodySongTest, NoteZeroAndChromaticNotesFrom120AreNeverWritten) {
  // c = 3 escapes at once; at the bottom bar its height 109/256 rounds to
  // index 0, note 0, which a level starts on without a Note On.
  settings.SetRegion(3.0, 0.0, 3.0, 0.0, 256);
  settings.mountainBar = 160;
  EXPECT_EQ(FirstDifference(Save(), ExpectedSong(99, kTempo120).File(9 * kTicksPerPosition)), "");

  settings.SetRegion(0.0, 0.0, 0.0, 0.0, 256);
  settings.scaleType = ScaleTables::kChromatic;
  settings.octave = 1;  // index 109 + 12 = 121
  ExpectedSong expected(99, kTempo120);
  expected.NoteOff(0, 0);
  EXPECT_EQ(FirstDifference(Save(), expected.File(9 * kTicksPerPosition)), "");
}

TEST_F(MelodySongTest, SlantedLineMatchesAnIndependentlyBuiltFile) {
  settings = {.measures = "2", .tempo = "100", .key = 2, .octave = 2, .scaleType = 0, .complexity = 2, .patch = 5,
              .mountainBar = 90};
  settings.SetRegion(-2.0, 0.0, 0.5, 0.0, 64);

  // The notes of every level at every position, from the escape counts alone.
  constexpr std::array<int, 7> kMajor{0, 2, 4, 5, 7, 9, 11};
  constexpr int kSteps = 16;
  ExpectedSong expected(5, 600000);
  std::array<int, 3> last{};
  std::array<bool, 3> sounding{};
  std::uint32_t pending = 0;
  std::set<int> distinct;
  for (int p = 0; p <= kSteps; ++p) {
    for (int k = 2; k >= 0; --k) {
      const double re = -2.0 + (((1 << k) * p) % kSteps) * (2.5 / kSteps);
      const int count = EscapeCount({false, {}, 64}, {re, 0.0});
      const double height = std::pow(count, 20.0 / 90) / std::pow(64, 20.0 / 90) * 109;
      const int degree = static_cast<int>(std::lrint(height));
      const int note = ((degree / 7) * 12 + kMajor[degree % 7] + 12 * 2 + 2) % 108;
      distinct.insert(note);
      if (note == last[k]) continue;
      expected.NoteOff(pending, last[k]).NoteOn(0, note, 127);
      pending = 0;
      sounding[k] = true;
      last[k] = note;
    }
    pending += kTicksPerPosition;
  }
  for (int k = 2; k >= 0; --k) {
    if (!sounding[k]) continue;
    expected.NoteOff(pending, last[k]);
    pending = 0;
  }
  ASSERT_GE(distinct.size(), 4u) << "the line should cross several heights";
  EXPECT_EQ(FirstDifference(Save(), expected.File(pending)), "");
}

TEST_F(MelodySongTest, LimitBelowOneIsRaisedTo32) {
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, 32);
  const auto with32 = Save();
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, 0);
  EXPECT_EQ(FirstDifference(Save(), with32), "");
  EXPECT_EQ(renderer.GetMaxIterations(), 32);
  settings.SetRegion(-1.5, 0.2, 0.4, 0.6, 2000);
  EXPECT_NE(FirstDifference(Save(), with32), "");
}

TEST_F(MelodySongTest, UncreatableFileIsReportedAndNothingWritten) {
  MIDIFile file(folder.Path(), dialogs);
  const std::string missing = folder.File("no such folder/song.mid");
  EXPECT_EQ(WriteMelodySong(file, missing, settings, renderer, scales).outcome, SongResult::Outcome::NotCreated);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

class RecordingView final : public MelodyView {
 public:
  void ClearMelody() override { ++clears; }
  void DrawMelodyLine(PicturePoint, PicturePoint, std::int32_t) override {}
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

  int clears = 0;
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
  // Short messages as sent: status | data1 << 8 | data2 << 16.
  std::vector<std::uint32_t> Sent(bool onlyNoteOns = false) const {
    std::vector<std::uint32_t> messages;
    for (const std::uint32_t message : service.DeliveredMessages())
      if (!onlyNoteOns || ((message & 0xF0) == 0x90 && (message >> 16) != 0)) messages.push_back(message);
    return messages;
  }
  // Runs the timer until the run ends by itself.
  void RunToTheEnd() {
    for (int ticks = 0; view.timerOn && ticks < 10000; ++ticks) melodizer.OnTimerTick();
  }

  RecordingView view;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiOut{service, dialogs};
  TemporaryFolder folder;
  Melodizer melodizer{view, midiOut, dialogs, folder.Path()};
};

TEST_F(MelodizerTest, AtmosphereOnEveryChannelAndHeldNotesSoundOncePerLevelOnItsChannel) {
  Melodizer fresh(view, midiOut, dialogs, folder.Path());
  fresh.Load();
  for (std::uint32_t channel = 0; channel < 16; ++channel)
    EXPECT_EQ(Sent().at(2 * channel + 1), 0xC0 + channel + (99 << 8));
  service.ClearCalls();
  melodizer.Controls().complexity = 1;
  melodizer.OnPlay();
  EXPECT_EQ(view.timerInterval, 125);
  RunToTheEnd();
  EXPECT_EQ(Sent(true), (std::vector<std::uint32_t>{0x91 | 46 << 8 | 100 << 16, 0x90 | 46 << 8 | 100 << 16}));
  const auto sent = Sent();
  for (std::size_t i = sent.size() - 32; i < sent.size(); ++i) EXPECT_EQ(sent.at(i) & 0xF0, 0xB0u);
}

TEST_F(MelodizerTest, LevelsFallSilentAboveNote119AndNeverStackNotes) {
  // From inside the set out along the real axis: chromatic notes an octave
  // up are silent near the set and sound further out.
  melodizer.Controls() = {.measures = "2", .octave = 1, .scaleType = ScaleTables::kChromatic, .complexity = 3};
  melodizer.SetRegion(0.0, 0.0, 1.0, 0.0, 256);
  melodizer.OnPlay();
  RunToTheEnd();
  std::map<std::uint32_t, std::uint32_t> sounding;  // channel -> note, or absent
  int noteOns = 0, silencings = 0;
  const auto sent = Sent();
  for (std::size_t i = 32; i + 32 < sent.size(); ++i) {
    const std::uint32_t status = sent[i] & 0xFF, note = (sent[i] >> 8) & 0xFF, velocity = sent[i] >> 16;
    ASSERT_EQ(status & 0xF0, 0x90u);
    const std::uint32_t channel = status & 0x0F;
    ASSERT_LE(channel, 3u);
    if (velocity == 0) {
      if (sounding.count(channel) && sounding[channel] == note) sounding.erase(channel);
      silencings += note != 0 && !((sent[i + 1] & 0xFF) == status && (sent[i + 1] >> 16) != 0);
      continue;
    }
    ++noteOns;
    EXPECT_LT(note, 120u);
    EXPECT_EQ(sounding.count(channel), 0u) << "a note on over a sounding note on channel " << channel;
    sounding[channel] = note;
  }
  EXPECT_GT(noteOns, 4);
  EXPECT_GT(silencings, 0);
}

TEST_F(MelodizerTest, ALimitBelowOneRunsAndShowsAs32) {
  melodizer.SetRegion(-0.75, 0.1, 0.25, 0.5, 0);
  melodizer.StartMelody(1, false);
  EXPECT_EQ(melodizer.Controls().maxIterations, "32");
  EXPECT_EQ(melodizer.rndRenderer.GetMaxIterations(), 32);
}

TEST_F(MelodizerTest, PlayingStepsOnePositionPerTickAndRewindsAtTheEndAndALoadStartsAfresh) {
  melodizer.OnPlay();
  const double first = melodizer.Position();
  melodizer.OnTimerTick();
  melodizer.OnTimerTick();
  EXPECT_EQ(melodizer.Position(), first + 2);
  RunToTheEnd();
  EXPECT_EQ(melodizer.Position(), 0.0);
  melodizer.rndRenderer.SetFractal(FractalType::Julia);
  melodizer.Load();
  EXPECT_EQ(melodizer.rndRenderer.GetFractalType(), FractalType::Mandelbrot);
  EXPECT_EQ(melodizer.rndRenderer.GetMaxIterations(), 256);
}

TEST_F(MelodizerTest, StopSilencesRewindsAndStrayTicksStartNothing) {
  melodizer.OnPlay();
  melodizer.OnTimerTick();
  service.ClearCalls();
  melodizer.OnStop();
  EXPECT_EQ(Sent().size(), 32u);
  melodizer.OnTimerTick();
  EXPECT_EQ(melodizer.Position(), 0.0);
  EXPECT_FALSE(view.timerOn);
}

TEST_F(MelodizerTest, NothingRunsBeforeLoadOrAfterUnloadAndTheDeviceClosesOnce) {
  Melodizer unloaded(view, midiOut, dialogs, folder.Path());
  unloaded.StartMelody(1, false);
  EXPECT_FALSE(view.timerOn);
  melodizer.OnPlay();
  melodizer.Unload();
  melodizer.Unload();
  EXPECT_FALSE(midiOut.IsOpen());
  EXPECT_EQ(service.OpenCount(), 0u);
  melodizer.StartMelody(1, true);
  EXPECT_FALSE(view.timerOn);
}

TEST_F(MelodizerTest, ClosingDuringTheWaitOfARestartLeavesNothingRunning) {
  melodizer.OnPlay();
  view.duringWait = [this] { melodizer.Unload(); };
  const int clears = view.clears;
  melodizer.OnRedraw();
  EXPECT_FALSE(view.timerOn);
  EXPECT_EQ(view.clears, clears) << "no run starts after the close";
  melodizer.OnTimerTick();
  EXPECT_EQ(melodizer.Position(), 0.0);
}

TEST_F(MelodizerTest, SaveSongAsksBeforeReplacingAFile) {
  const std::string path = folder.File("melody.mid");
  dialogs.AnswerSaveFile(path);
  melodizer.OnSaveSong();
  const auto saved = ReadBytes(path);
  ASSERT_FALSE(saved.empty());
  melodizer.Controls().measures = "2";
  dialogs.AnswerSaveFile(path);
  dialogs.AnswerMessage(MessageAnswer::No);
  melodizer.OnSaveSong();
  EXPECT_EQ(ReadBytes(path), saved) << "declining writes nothing";
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<std::string>{"The song was saved successfully.",
                                      "The file [" + path + "] already exists.  Would you like to overwrite?",
                                      "The song was not saved."}));
}

}  // namespace
