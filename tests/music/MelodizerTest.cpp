#include "Melodizer.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

#include "MelodizerLists.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

namespace {

struct Line {
  PicturePoint from;
  PicturePoint to;
  std::int32_t colour;
};

class RecordingView final : public MelodyView {
 public:
  void ClearMelody() override {
    ++clears;
    lines.clear();
    pixels.clear();
  }
  void DrawMelodyLine(PicturePoint from, PicturePoint to, std::int32_t colour) override {
    lines.push_back({from, to, colour});
  }
  void SetMelodyPixel(PicturePoint at, std::int32_t colour) override { pixels.push_back({at, at, colour}); }
  void MoveTracerTo(double x) override { tracerX = x; }
  void EnableTimer(std::int32_t interval) override {
    timerOn = true;
    timerInterval = interval;
  }
  void DisableTimer() override { timerOn = false; }
  void SetTimerInterval(std::int32_t interval) override { timerInterval = interval; }
  void Wait(double seconds) override {
    waits.push_back(seconds);
    if (duringWait) std::exchange(duringWait, nullptr)();
  }
  void ProcessPendingEvents() override {}

  int clears = 0;
  std::vector<Line> lines;
  std::vector<Line> pixels;
  double tracerX = -1;
  bool timerOn = false;
  std::int32_t timerInterval = 0;
  std::vector<double> waits;
  // Runs once inside the next Wait, as a click handled while waiting would.
  std::function<void()> duringWait;
};

// Short messages split into status, data1, data2.
struct Message {
  int status;
  int data1;
  int data2;
};

class MelodizerTest : public ::testing::Test {
 protected:
  MelodizerTest() {
    melodizer.Load();
    melodizer.SetRegion(0.0, 0.0, 0.0, 0.0, 256);
    service.ClearCalls();
  }

  std::vector<Message> Sent() const {
    std::vector<Message> messages;
    for (const std::uint32_t packed : service.DeliveredMessages())
      messages.push_back({static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                          static_cast<int>((packed >> 16) & 0xFF)});
    return messages;
  }
  std::vector<Message> NoteOns() const {
    std::vector<Message> notes;
    for (const Message& message : Sent())
      if ((message.status & 0xF0) == 0x90 && message.data2 != 0) notes.push_back(message);
    return notes;
  }
  // Runs the timer until the run ends by itself.
  int RunToTheEnd() {
    int ticks = 0;
    while (view.timerOn && ticks < 10000) {
      melodizer.OnTimerTick();
      ++ticks;
    }
    return ticks;
  }

  RecordingView view;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiOut{service, dialogs};
  TemporaryFolder folder;
  Melodizer melodizer{view, midiOut, dialogs, folder.Path()};
};

TEST_F(MelodizerTest, LoadOpensTheDeviceAndSendsAtmosphereOnAllSixteenChannels) {
  Melodizer fresh(view, midiOut, dialogs, folder.Path());
  service.ClearCalls();
  fresh.Load();
  EXPECT_TRUE(midiOut.IsOpen());
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 32u);
  for (int channel = 0; channel < 16; ++channel) {
    EXPECT_EQ(sent[2 * channel].status, 0xB0 + channel);
    EXPECT_EQ(sent[2 * channel + 1].status, 0xC0 + channel);
    EXPECT_EQ(sent[2 * channel + 1].data1, 99);
  }
  EXPECT_EQ(fresh.Controls().measures, "20");
  EXPECT_EQ(fresh.Controls().tempo, "120");
  EXPECT_EQ(fresh.Controls().maxIterations, "256");
  EXPECT_EQ(fresh.Controls().scaleType, 4);
  EXPECT_EQ(fresh.rndRenderer.GetMaxIterations(), 256);
}

TEST_F(MelodizerTest, NothingRunsBeforeTheWindowIsReady) {
  Melodizer unloaded(view, midiOut, dialogs, folder.Path());
  unloaded.StartMelody(1, false);
  EXPECT_EQ(view.clears, 0);
  EXPECT_FALSE(view.timerOn);
}

TEST_F(MelodizerTest, DrawingRunWalksEveryPositionAndEndsSilently) {
  melodizer.Controls().measures = "1";
  melodizer.Controls().complexity = 1;
  melodizer.StartMelody(1, false);
  EXPECT_EQ(view.clears, 1);
  EXPECT_EQ(view.waits, std::vector<double>{0.5});
  EXPECT_TRUE(view.timerOn);
  EXPECT_EQ(view.timerInterval, 1);
  ASSERT_EQ(view.pixels.size(), 2u);
  EXPECT_EQ(view.pixels[0].colour, Melodizer::kVoiceColours[1]);  // level 0 is drawn last, on top
  EXPECT_EQ(view.pixels[1].colour, Melodizer::kVoiceColours[0]);
  EXPECT_EQ(view.pixels[1].from.y, 108 - 109);  // inside the set: the full height

  const std::size_t gridLines = view.lines.size();
  EXPECT_EQ(RunToTheEnd(), 8);
  EXPECT_EQ(view.lines.size(), gridLines + 2 * 8);
  EXPECT_EQ(view.lines.back().to.x, 305.0);
  EXPECT_EQ(view.tracerX, 305.0);
  EXPECT_EQ(melodizer.Position(), 0.0);
  EXPECT_TRUE(NoteOns().empty());
  EXPECT_EQ(Sent().size(), 64u) << "all sounds off when the run starts and when it ends";
}

TEST_F(MelodizerTest, HeldNotesSoundOncePerLevelOnTheLevelsChannel) {
  melodizer.Controls().measures = "1";
  melodizer.Controls().complexity = 1;
  melodizer.OnPlay();
  EXPECT_EQ(view.timerInterval, 125);
  RunToTheEnd();
  const auto notes = NoteOns();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].status, 0x91);
  EXPECT_EQ(notes[1].status, 0x90);
  EXPECT_EQ(notes[0].data1, 46);
  EXPECT_EQ(notes[0].data2, 100);
  const auto sent = Sent();
  ASSERT_GE(sent.size(), 32u);
  for (std::size_t i = sent.size() - 32; i < sent.size(); ++i) EXPECT_EQ(sent[i].status & 0xF0, 0xB0);
}

TEST_F(MelodizerTest, LevelsFallSilentAboveNote119AndNeverStackNotes) {
  // From inside the set out along the real axis: chromatic notes an octave
  // up are silent near the set and sound further out.
  melodizer.SetRegion(0.0, 0.0, 1.0, 0.0, 256);
  melodizer.Controls().measures = "2";
  melodizer.Controls().complexity = 3;
  melodizer.Controls().scaleType = ScaleTables::kChromatic;
  melodizer.Controls().octave = 1;
  melodizer.Controls().mountainBar = 20;
  melodizer.OnPlay();
  RunToTheEnd();

  std::map<int, int> sounding;  // channel -> note, or absent
  int noteOns = 0;
  int silencings = 0;
  const auto sent = Sent();
  for (std::size_t i = 32; i + 32 < sent.size(); ++i) {
    const Message& message = sent[i];
    ASSERT_EQ(message.status & 0xF0, 0x90);
    const int channel = message.status & 0x0F;
    ASSERT_LE(channel, 3);
    if (message.data2 == 0) {
      if (sounding.count(channel) && sounding[channel] == message.data1) sounding.erase(channel);
      const bool nextIsItsNoteOn = i + 1 < sent.size() && sent[i + 1].status == message.status && sent[i + 1].data2;
      if (!nextIsItsNoteOn && message.data1 != 0) ++silencings;
      continue;
    }
    ++noteOns;
    EXPECT_LT(message.data1, 120);
    EXPECT_EQ(sounding.count(channel), 0u) << "a note on over a sounding note on channel " << channel;
    sounding[channel] = message.data1;
  }
  EXPECT_GT(noteOns, 4);
  EXPECT_GT(silencings, 0);
}

TEST_F(MelodizerTest, TypedValuesAreCheckedAndRedrawOnlyWhenTheyMatter) {
  melodizer.Controls().measures = "2.5";
  melodizer.OnMeasuresLostFocus();
  EXPECT_EQ(melodizer.Controls().measures, "3");
  EXPECT_EQ(view.clears, 1);

  melodizer.Controls().maxIterations = "10";
  melodizer.OnMaxIterationsLostFocus();
  EXPECT_EQ(melodizer.Controls().maxIterations, "32");
  EXPECT_EQ(melodizer.LastMaxIterations(), 32);
  EXPECT_EQ(view.clears, 2);
  melodizer.OnMaxIterationsLostFocus();
  EXPECT_EQ(view.clears, 2) << "retyping the same limit redraws nothing";

  melodizer.Controls().tempo = "fast";
  melodizer.OnTempoLostFocus();
  EXPECT_EQ(melodizer.Controls().tempo, "80");
  EXPECT_EQ(view.timerInterval, 188);
  EXPECT_EQ(view.clears, 2);
}

TEST_F(MelodizerTest, ListTextsMatchingNoItemSelectTheFirst) {
  EXPECT_EQ(melodizer.OnListChanged(Melodizer::List::Complexity, -1), 0);
  EXPECT_EQ(view.clears, 1);
  EXPECT_EQ(melodizer.OnListChanged(Melodizer::List::ScaleType, 2), 2);
  EXPECT_EQ(view.clears, 2);
  EXPECT_EQ(melodizer.OnListChanged(Melodizer::List::Key, -1), 0);
  EXPECT_EQ(melodizer.OnListChanged(Melodizer::List::Key, 5), 5);
  EXPECT_EQ(view.clears, 2) << "a new key is heard, not redrawn";

  service.ClearCalls();
  EXPECT_EQ(melodizer.OnListChanged(Melodizer::List::Patch, 46), 46);
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 32u);
  EXPECT_EQ(sent[31].status, 0xCF);
  EXPECT_EQ(sent[31].data1, 46);
}

TEST_F(MelodizerTest, SetRegionWritesTheBoxesAndALimitBelowOneRunsAs32) {
  view.clears = 0;
  melodizer.SetRegion(-0.75, 0.1, 0.25, -1.0 / 3.0, 131072);
  EXPECT_EQ(melodizer.Controls().firstPointReal, "-0.75");
  EXPECT_EQ(melodizer.Controls().secondPointImaginary, "-0.333333333333333");
  EXPECT_EQ(melodizer.Controls().maxIterations, "131072");
  EXPECT_EQ(view.clears, 0);
  melodizer.StartMelody(1, false);
  EXPECT_EQ(melodizer.rndRenderer.GetMaxIterations(), 131072);

  melodizer.SetRegion(-0.75, 0.1, 0.25, 0.5, 0);
  melodizer.StartMelody(1, false);
  EXPECT_EQ(melodizer.Controls().maxIterations, "32");
  EXPECT_EQ(melodizer.rndRenderer.GetMaxIterations(), 32);
}

TEST_F(MelodizerTest, StopSilencesRewindsAndStrayTicksStartNothing) {
  melodizer.OnPlay();
  melodizer.OnTimerTick();
  service.ClearCalls();
  melodizer.OnStop();
  EXPECT_FALSE(view.timerOn);
  EXPECT_EQ(melodizer.Position(), 0.0);
  EXPECT_EQ(Sent().size(), 32u);
  const int clears = view.clears;
  melodizer.OnTimerTick();
  EXPECT_EQ(melodizer.Position(), 0.0);
  EXPECT_EQ(view.clears, clears);
  EXPECT_FALSE(view.timerOn);
}

TEST_F(MelodizerTest, GridMarksTheKeysRootsInLightLines) {
  melodizer.Controls().scaleType = 0;
  view.lines.clear();
  melodizer.DrawGrid();
  ASSERT_EQ(view.lines.size(), 16u);  // y = 109, 102, ..., 4
  for (const Line& line : view.lines) {
    EXPECT_EQ(line.from.x, 0.0);
    EXPECT_EQ(line.to.x, 305.0);
    const bool light = line.from.y == 109 || line.from.y == 46;  // index 0, and 63 nine octaves up
    EXPECT_EQ(line.colour, light ? Melodizer::kRootGridColour : Melodizer::kOtherGridColour) << line.from.y;
  }
  melodizer.Controls().scaleType = -1;
  view.lines.clear();
  melodizer.DrawGrid();
  EXPECT_TRUE(view.lines.empty());
}

TEST_F(MelodizerTest, UnloadingTwiceClosesTheDeviceOnce) {
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
  EXPECT_FALSE(midiOut.IsOpen());
}

TEST_F(MelodizerTest, SaveSongAsksBeforeReplacingAFile) {
  melodizer.Controls().measures = "1";
  const std::string path = folder.File("melody.mid");
  dialogs.AnswerSaveFile(path);
  melodizer.OnSaveSong();
  ASSERT_TRUE(std::filesystem::exists(path));
  const auto saved = ReadBytes(path);

  melodizer.Controls().measures = "2";
  dialogs.AnswerSaveFile(path);
  dialogs.AnswerMessage(MessageAnswer::No);
  melodizer.OnSaveSong();
  EXPECT_EQ(ReadBytes(path), saved) << "declining writes nothing";

  dialogs.AnswerSaveFile("");
  melodizer.OnSaveSong();
  const auto messages = dialogs.Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0], "The song was saved successfully.");
  EXPECT_EQ(messages[1], "The file [" + path + "] already exists.  Would you like to overwrite?");
  EXPECT_EQ(messages[2], "The song was not saved.");
  EXPECT_EQ(messages[3], "The song was not saved.");
  EXPECT_EQ(dialogs.History()[0].text, "MIDI Files (*.mid)");
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "mid");
}

}  // namespace
