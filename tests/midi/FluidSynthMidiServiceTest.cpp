#include "FluidSynthMidiService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "DesktopMidiService.h"
#include "MidiOutput.h"
#include "ScriptedDialogs.h"

namespace {

using testing::IsEmpty;

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float sample : samples) sum += double{sample} * sample;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

int Frames(double seconds) { return static_cast<int>(seconds * FluidSynthMidiService::kSampleRate); }

// A synthesizer that nothing plays aloud: the test pulls its samples.
class FluidSynthMidiServiceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (synthesizer.SoundFont().empty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  }

  FluidSynthMidiService synthesizer{{}};
  ScriptedDialogs dialogs;
};

TEST_F(FluidSynthMidiServiceTest, ANoteIsAudibleAndAllSoundsOffSilencesIt) {
  MidiOutput output(synthesizer, dialogs);
  ASSERT_EQ(output.OpenDevice(-1), -1);
  EXPECT_LT(Rms(synthesizer.RenderOffline(Frames(0.1))), 1e-6);

  output.ProgramChange(0, 0, 0);
  output.NoteOn(0, 60, 100);
  const double sounding = Rms(synthesizer.RenderOffline(Frames(0.3)));
  EXPECT_GT(sounding, 0.01);

  output.AllSoundsOff();
  synthesizer.RenderOffline(Frames(2.0));  // the reverb's tail dies away
  EXPECT_LT(Rms(synthesizer.RenderOffline(Frames(0.1))), sounding / 1000);
  output.CloseDevice();
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

TEST_F(FluidSynthMidiServiceTest, ANoteOffEndsTheNote) {
  MidiOutput output(synthesizer, dialogs);
  ASSERT_EQ(output.OpenDevice(-1), -1);
  output.NoteOn(0, 72, 127);
  const double sounding = Rms(synthesizer.RenderOffline(Frames(0.2)));
  output.NoteOff(0, 72);
  synthesizer.RenderOffline(Frames(3.0));
  EXPECT_LT(Rms(synthesizer.RenderOffline(Frames(0.1))), sounding / 1000);
}

TEST_F(FluidSynthMidiServiceTest, OneOwnerAtATime) {
  MidiOutput first(synthesizer, dialogs);
  MidiOutput second(synthesizer, dialogs);
  ASSERT_EQ(first.OpenDevice(-1), -1);
  EXPECT_EQ(second.OpenDevice(-1), 0);
  EXPECT_THAT(dialogs.Messages(),
              testing::ElementsAre("Unable to initialize the MIDI subsystem.  Please make sure that no MIDI "
                                   "programs are currently running."));
  // The refused one cannot reach the synthesizer.
  second.NoteOn(0, 60, 100);
  EXPECT_LT(Rms(synthesizer.RenderOffline(Frames(0.1))), 1e-6);

  first.CloseDevice();
  EXPECT_EQ(second.OpenDevice(-1), -1);
}

TEST_F(FluidSynthMidiServiceTest, StaleHandlesAndOtherDevicesAreRefused) {
  const MidiOpenResult opened = synthesizer.Open(-1);
  ASSERT_EQ(opened.result, kMidiResultOk);
  EXPECT_EQ(synthesizer.Close(opened.handle), kMidiResultOk);
  EXPECT_EQ(synthesizer.SendShortMessage(opened.handle, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.Close(opened.handle), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.SendShortMessage(0, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.Open(0).result, kMidiResultBadDeviceId);

  const MidiOpenResult reopened = synthesizer.Open(-1);
  EXPECT_EQ(reopened.result, kMidiResultOk);
  EXPECT_NE(reopened.handle, opened.handle);
}

TEST(FluidSynthMidiServiceFailureTest, WithoutSoundOpeningFailsQuietly) {
  ScriptedDialogs dialogs;
  FluidSynthMidiService noSoundFont({}, {"/nonexistent/none.sf2"});
  MidiOutput output(noSoundFont, dialogs);
  EXPECT_EQ(output.OpenDevice(-1), 0);

  FluidSynthMidiService noAudio({"no-such-driver"});
  const MidiOpenResult opened = noAudio.Open(-1);
  EXPECT_NE(opened.result, kMidiResultOk);
  EXPECT_NE(opened.result, kMidiResultAllocated);
  MidiOutput quiet(noAudio, dialogs);
  EXPECT_EQ(quiet.OpenDevice(-1), 0);
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

// Not part of the suite: run on a desktop with
//   midi_fluidsynth_tests --gtest_also_run_disabled_tests --gtest_filter='*Demo*'
// to hear middle C for a second through device -1 as the desktop opens it
// (the synthesizer, or the port that QUILLORY_MIDI_OUT names).
TEST(FluidSynthMidiServiceDemo, DISABLED_PlaysMiddleCThroughTheDefaultDevice) {
  ScriptedDialogs dialogs;
  const auto service = MakeDesktopMidiService();
  MidiOutput output(*service, dialogs);
  ASSERT_EQ(output.OpenDevice(-1), -1) << "no audio output could be started";
  output.ProgramChange(0, 0, 0);
  output.NoteOn(0, 60, 110);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  output.NoteOff(0, 60);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  output.CloseDevice();
}

}  // namespace
