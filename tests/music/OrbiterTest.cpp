#include "Orbiter.h"

#include <gtest/gtest.h>

#include "EscapeCount.h"
#include "MemorySurface.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"
#include "TypedValues.h"

namespace {

class RecordingOrbiterView final : public OrbiterView {
 public:
  void DrawOrbitStart(OrbitPixel at) override { starts.push_back(at); }
  void DrawOrbitStep(OrbitPixel at) override { steps.push_back(at); }
  void KeepOriginalPicture() override { ++kept; }
  void RestoreOriginalPicture() override { ++restored; }
  void EnableRenderTimer() override { renderTimerOn = true; }
  void DisableRenderTimer() override { renderTimerOn = false; }
  void EnableNoteTimer(std::int32_t interval) override {
    noteTimerOn = true;
    noteInterval = interval;
  }
  void DisableNoteTimer() override { noteTimerOn = false; }

  std::vector<OrbitPixel> starts;
  std::vector<OrbitPixel> steps;
  int kept = 0;
  int restored = 0;
  bool renderTimerOn = false;
  bool noteTimerOn = false;
  std::int32_t noteInterval = -1;
};

struct Expected {
  bool inputs, newPoint, iterate, play, saveSong;
};

class OrbiterTest : public ::testing::Test {
 protected:
  void LoadAndRender() {
    orbiter.Load(surface);
    while (view.renderTimerOn) orbiter.OnRenderTimerTick();
  }
  void ExpectEnabled(const Expected& expected, const char* state) {
    const Orbiter::Enabled& enabled = orbiter.ControlsEnabled();
    EXPECT_EQ(enabled.inputs, expected.inputs) << state;
    EXPECT_EQ(enabled.newPoint, expected.newPoint) << state;
    EXPECT_EQ(enabled.iterate, expected.iterate) << state;
    EXPECT_EQ(enabled.play, expected.play) << state;
    EXPECT_EQ(enabled.saveSong, expected.saveSong) << state;
  }
  void Type(const std::string& real, const std::string& imaginary) {
    orbiter.CurrentTexts().real = real;
    orbiter.OnRealLostFocus();
    orbiter.CurrentTexts().imaginary = imaginary;
    orbiter.OnImaginaryLostFocus();
  }
  int NoteOnsSent() const {
    int count = 0;
    for (const std::uint32_t message : service.DeliveredMessages())
      if ((message & 0xF0) == 0x90 && (message >> 16) != 0) ++count;
    return count;
  }

  MemorySurface surface{273, 273};
  RecordingOrbiterView view;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput midiDevice{service, dialogs};
  TemporaryFolder folder;
  Orbiter orbiter{view, midiDevice, dialogs, folder.Path()};
};

constexpr Expected kRendering{false, false, false, false, false};
constexpr Expected kChoosing{true, false, true, true, true};
constexpr Expected kOrbiting{false, true, true, true, true};
constexpr Expected kExploded{false, true, false, false, true};

TEST_F(OrbiterTest, ButtonsWalkTheStateTable) {
  orbiter.Load(surface);
  ExpectEnabled(kRendering, "rendering");
  orbiter.OnPicturePicked(10, 10);
  EXPECT_TRUE(view.starts.empty()) << "clicks are ignored while rendering";
  orbiter.OnRenderTimerTick();
  EXPECT_EQ(orbiter.CurrentTexts().progress.rfind("Initializing... ", 0), 0u);
  while (view.renderTimerOn) orbiter.OnRenderTimerTick();
  ExpectEnabled(kChoosing, "choosing");
  EXPECT_EQ(view.kept, 1);
  EXPECT_EQ(orbiter.CurrentTexts().progress, "Click on a point to iterate or key in the values above");

  orbiter.OnIterate();
  ExpectEnabled(kOrbiting, "orbiting");
  ASSERT_EQ(view.starts.size(), 1u);
  EXPECT_EQ(view.starts[0].x, 136);
  EXPECT_EQ(view.starts[0].y, 136);
  EXPECT_EQ(orbiter.CurrentTexts().currentReal, "0.001");
  EXPECT_EQ(orbiter.CurrentTexts().currentImaginary, "0.001");
  EXPECT_EQ(NoteOnsSent(), 0) << "the first value is only marked";
  orbiter.OnIterate();
  EXPECT_EQ(view.steps.size(), 1u);
  EXPECT_EQ(NoteOnsSent(), 1);

  orbiter.OnPlay();
  ExpectEnabled(kOrbiting, "playing");
  EXPECT_TRUE(view.noteTimerOn);

  orbiter.OnNewPoint();
  ExpectEnabled(kChoosing, "choosing again");
  EXPECT_FALSE(view.noteTimerOn);
  EXPECT_EQ(view.restored, 1);

  Type("2", "2");
  orbiter.OnIterate();
  ExpectEnabled(kOrbiting, "orbiting outside");
  orbiter.OnIterate();
  ExpectEnabled(kExploded, "exploded");
  EXPECT_EQ(orbiter.CurrentTexts().progress, "The point has exploded.  Click on 'New Point'");
  orbiter.OnNewPoint();
  ExpectEnabled(kChoosing, "back to choosing");
}

TEST_F(OrbiterTest, PickingChoosesThePointUnderTheMouseAndStartsItsOrbit) {
  LoadAndRender();
  orbiter.OnPicturePicked(68, 204);
  const FractalRenderer& renderer = orbiter.Renderer();
  EXPECT_EQ(orbiter.CurrentTexts().real, FormatNumber(renderer.GetVirtualX(68)));
  EXPECT_EQ(orbiter.CurrentTexts().imaginary, FormatNumber(-renderer.GetVirtualY(204)));
  EXPECT_LT(*ParseNumber(orbiter.CurrentTexts().imaginary), 0.0) << "rows below the centre are negative";
  ExpectEnabled(kOrbiting, "after a pick");
  ASSERT_EQ(view.starts.size(), 1u);
  EXPECT_NEAR(view.starts[0].x, 68, 1);
  EXPECT_NEAR(view.starts[0].y, 204, 1);
  orbiter.OnPicturePicked(10, 10);
  EXPECT_EQ(view.starts.size(), 1u) << "picks are ignored while an orbit is under way";
}

TEST_F(OrbiterTest, NoteTimerUsesFiveMillisecondsFromPlayAndFiftyFromATick) {
  LoadAndRender();
  // The second orbit value of this point lies just above -2i: its interval
  // is below one millisecond.
  Type("0.5625", "-0.93964");
  orbiter.OnPlay();
  EXPECT_EQ(view.noteInterval, 5);
  service.ClearCalls();
  orbiter.OnNoteTimerTick();
  const double sounded = (*ParseNumber(orbiter.CurrentTexts().currentImaginary) + 2) * 125;
  ASSERT_GT(sounded, 0.0);
  ASSERT_LT(sounded, 1.0);
  EXPECT_EQ(view.noteInterval, 50);
  EXPECT_TRUE(view.noteTimerOn);
  EXPECT_EQ(NoteOnsSent(), 1);
  EXPECT_EQ(service.DeliveredMessages().front() & 0xFF, 0xB0u) << "each tick first silences the last note";
  // The next value leaves the disc: drawn, silent, and the tick after only silences.
  orbiter.OnNoteTimerTick();
  EXPECT_TRUE(orbiter.OrbitStopped());
  EXPECT_EQ(NoteOnsSent(), 1);
  orbiter.OnNoteTimerTick();
  EXPECT_FALSE(view.noteTimerOn);
}

TEST_F(OrbiterTest, PlayRightAfterNewPointOnlyStartsTheOrbit) {
  LoadAndRender();
  Type("-0.1", "0.1");
  orbiter.OnNewPoint();
  orbiter.OnPlay();
  EXPECT_EQ(view.starts.size(), 1u);
  orbiter.OnNoteTimerTick();
  EXPECT_FALSE(view.noteTimerOn) << "the stopped orbit ends playback at the first tick";
  EXPECT_EQ(NoteOnsSent(), 0);
  orbiter.OnPlay();
  EXPECT_EQ(NoteOnsSent(), 1);
  EXPECT_EQ(view.noteInterval, Nearest32(orbiter.NoteInterval()));
  for (int tick = 0; tick < 50; ++tick) orbiter.OnNoteTimerTick();
  EXPECT_TRUE(view.noteTimerOn) << "a bounded orbit plays on";
  EXPECT_EQ(NoteOnsSent(), 51);
}

TEST_F(OrbiterTest, SavingAnEscapingPointLeavesTheLiveOrbitExploded) {
  LoadAndRender();
  Type("0.4", "0.3");
  ASSERT_LT(EscapeCount({false, {}, 16000}, {0.4, 0.3}), 16000);
  orbiter.OnIterate();
  orbiter.OnIterate();
  ASSERT_EQ(orbiter.CurrentTexts().progress, "Click on 'Iterate' to reiterate the point");
  const std::string path = folder.File("orbit.mid");
  dialogs.AnswerSaveFile(path);
  orbiter.OnSaveSong();
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(dialogs.Messages().back(), "The song was saved successfully.");
  orbiter.OnIterate();
  EXPECT_EQ(orbiter.CurrentTexts().progress, "The point has exploded.  Click on 'New Point'");
}

TEST_F(OrbiterTest, UnloadClosesTheDeviceAndStopsTheNotes) {
  LoadAndRender();
  EXPECT_EQ(service.DeliveredMessages().at(1), 0x2EC0u) << "the harp on channel 0";
  orbiter.OnPlay();
  orbiter.Unload();
  EXPECT_FALSE(view.noteTimerOn);
  EXPECT_FALSE(midiDevice.IsOpen());
}

}  // namespace
