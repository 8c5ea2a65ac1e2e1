#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "DesktopMidiService.h"
#include "FluidSynthMidiService.h"
#include "MidiOutput.h"
#include "RecordingMidiService.h"
#include "RtMidiPortService.h"
#include "ScriptedDialogs.h"

// Live output: MidiOutput, and the services it plays through.
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

class MidiOutputTest : public testing::Test {
 protected:
  void OpenPort() {
    ASSERT_EQ(output.OpenDevice(-1), -1);
    service.ClearCalls();
  }

  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput output{service, dialogs};
};

TEST_F(MidiOutputTest, EachOperationSendsItsPackedMessagesInOrder) {
  std::vector<std::uint32_t> soundsOff, resets;
  for (std::uint32_t channel = 0; channel < 16; ++channel) {
    soundsOff.insert(soundsOff.end(), {0x78B0 + channel, 0x7BB0 + channel});
    resets.push_back(0x79B0 + channel);
  }
  const std::tuple<const char*, std::function<void(MidiOutput&)>, std::vector<std::uint32_t>> cases[] = {
      {"note off is a note-on with velocity 0", [](MidiOutput& o) { o.NoteOff(0, 60); }, {0x3C90}},
      {"note on, last channel", [](MidiOutput& o) { o.NoteOn(15, 127, 127); }, {0x7F7F9F}},
      {"program change selects the bank first", [](MidiOutput& o) { o.ProgramChange(9, 8, 16); }, {0x0800B9, 0x10C9}},
      {"all notes off sends controller 120 only", [](MidiOutput& o) { o.AllNotesOff(3); }, {0x78B3}},
      {"control change", [](MidiOutput& o) { o.ControlChange(2, 7, 100); }, {0x6407B2}},
      {"all sounds off: 120 and 123 on every channel", [](MidiOutput& o) { o.AllSoundsOff(); }, soundsOff},
      {"reset controllers: 121 on every channel", [](MidiOutput& o) { o.ResetControllers(); }, resets},
  };
  for (const auto& [name, send, expected] : cases) {
    SCOPED_TRACE(name);
    OpenPort();
    send(output);
    EXPECT_THAT(service.DeliveredMessages(), ElementsAreArray(expected));
  }
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

// A second open closes the first port; a discarded instance gives its port back.
TEST_F(MidiOutputTest, EveryPortOpenedIsClosedAgain) {
  {
    MidiOutput owner(service, dialogs);
    ASSERT_EQ(owner.OpenDevice(-1), -1);
    ASSERT_EQ(owner.OpenDevice(2), -1);
    owner.NoteOn(0, 60, 1);
    using Call = RecordingMidiService::Call;
    std::vector<std::tuple<Call, int, MidiHandle>> calls;
    for (const auto& c : service.Calls()) calls.emplace_back(c.call, c.deviceId, c.handle);
    EXPECT_THAT(calls, ElementsAre(std::tuple(Call::Open, -1, 1u), std::tuple(Call::Close, 0, 1u),
                                   std::tuple(Call::Open, 2, 2u), std::tuple(Call::Send, 0, 2u)));
    EXPECT_EQ(service.OpenCount(), 1u);
  }
  EXPECT_EQ(service.OpenCount(), 0u);
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

// Only a port held elsewhere (in the low sixteen bits of the code) is shown.
TEST_F(MidiOutputTest, OnlyAPortHeldElsewhereIsReported) {
  for (MidiResult code : {kMidiResultError, kMidiResultBadDeviceId, kMidiResultNoDriver, MidiResult{0x10000 | 5},
                          kMidiResultAllocated, MidiResult{0x10000 | kMidiResultAllocated}}) {
    SCOPED_TRACE(code);
    dialogs.ClearHistory();
    service.FailNextOpen(code);
    EXPECT_EQ(output.OpenDevice(-1), 0);
    EXPECT_EQ(dialogs.Messages().size(), (code & 0xFFFF) == kMidiResultAllocated ? 1u : 0u);
  }
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].text,
            "Unable to initialize the MIDI subsystem.  Please make sure that no MIDI programs are currently running.");
  EXPECT_EQ(dialogs.History()[0].buttons, MessageButtons::Ok);

  // Later messages go to no port: each refusal is silent and none stops the rest.
  service.ClearCalls();
  output.AllSoundsOff();
  ASSERT_EQ(service.Calls().size(), 32u);
  EXPECT_EQ(service.Calls().back().result, kMidiResultInvalidHandle);
  EXPECT_EQ(dialogs.History().size(), 1u);
}

TEST_F(MidiOutputTest, AFailedCloseGoesThroughTheSameReportAndStillForgetsThePort) {
  OpenPort();
  service.FailNextClose(kMidiResultAllocated);
  output.CloseDevice();
  output.CloseDevice();  // closed already: no call
  EXPECT_FALSE(output.IsOpen());
  EXPECT_EQ(service.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
}

class DesktopMidiServiceTest : public testing::Test {
 protected:
  DesktopMidiService Make(std::string preferred) {
    auto synth = std::make_unique<RecordingMidiService>();
    auto portService = std::make_unique<RecordingMidiService>();
    portService->SetDeviceNames({"Midi Through Port-0", "USB Keys MIDI 1", "usb keys 2"});
    synthesizer = synth.get();
    ports = portService.get();
    return DesktopMidiService(std::move(synth), std::move(portService), std::move(preferred));
  }

  RecordingMidiService* synthesizer = nullptr;
  RecordingMidiService* ports = nullptr;
};

TEST_F(DesktopMidiServiceTest, TheDefaultDeviceIsTheSynthesizerAndNumbersAreOutputPorts) {
  DesktopMidiService service = Make("");
  const MidiOpenResult byDefault = service.Open(-1);
  const MidiOpenResult port = service.Open(1);
  ASSERT_EQ(byDefault.result | port.result, kMidiResultOk);
  EXPECT_EQ(service.SendShortMessage(byDefault.handle, 0x643C90), kMidiResultOk);
  EXPECT_EQ(service.SendShortMessage(port.handle, 0x2EC0), kMidiResultOk);
  EXPECT_EQ(synthesizer->DeliveredMessages(), std::vector<std::uint32_t>{0x643C90});
  EXPECT_EQ(ports->DeliveredMessages(), std::vector<std::uint32_t>{0x2EC0});
  EXPECT_EQ(ports->Calls().front().deviceId, 1);

  EXPECT_EQ(service.Close(byDefault.handle), kMidiResultOk);
  EXPECT_EQ(synthesizer->OpenCount(), 0u);
  EXPECT_EQ(ports->OpenCount(), 1u);
  EXPECT_EQ(service.SendShortMessage(byDefault.handle, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(service.Close(byDefault.handle), kMidiResultInvalidHandle);
  EXPECT_EQ(service.Open(-2).result, kMidiResultBadDeviceId);
  synthesizer->FailNextOpen(kMidiResultAllocated);
  EXPECT_EQ(service.Open(-1).result, kMidiResultAllocated);  // passed through unchanged
}

// The first port whose name holds the preferred text, in any case; the
// synthesizer when there is none.
TEST_F(DesktopMidiServiceTest, ANamedPortTakesThePlaceOfTheSynthesizerWhenItIsThere) {
  DesktopMidiService named = Make("USB KEYS");
  ASSERT_EQ(named.Open(-1).result, kMidiResultOk);
  ASSERT_EQ(ports->Calls().size(), 1u);
  EXPECT_EQ(ports->Calls()[0].deviceId, 1);
  EXPECT_TRUE(synthesizer->Calls().empty());

  DesktopMidiService absent = Make("Digital Audio Workstation");
  EXPECT_EQ(absent.Open(-1).result, kMidiResultOk);
  EXPECT_EQ(synthesizer->OpenCount(), 1u);
  EXPECT_TRUE(ports->Calls().empty());
}

// A synthesizer that nothing plays aloud: the test pulls its samples.
class FluidSynthMidiServiceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (synthesizer.SoundFont().empty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  }

  // Loudness of the next `seconds` of sound.
  double Rms(double seconds) {
    const std::vector<float> samples =
        synthesizer.RenderOffline(static_cast<int>(seconds * FluidSynthMidiService::kSampleRate));
    double sum = 0;
    for (float sample : samples) sum += double{sample} * sample;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
  }

  FluidSynthMidiService synthesizer{{}};
};

TEST_F(FluidSynthMidiServiceTest, NotesSoundUntilANoteOffOrAllSoundsOff) {
  ScriptedDialogs dialogs;
  MidiOutput output(synthesizer, dialogs);
  ASSERT_EQ(output.OpenDevice(-1), -1);
  EXPECT_LT(Rms(0.1), 1e-6);
  output.ProgramChange(0, 0, 0);
  for (bool allSoundsOff : {false, true}) {
    output.NoteOn(0, 60, 100);
    const double sounding = Rms(0.3);
    EXPECT_GT(sounding, 0.01);
    allSoundsOff ? output.AllSoundsOff() : output.NoteOff(0, 60);
    Rms(3.0);  // the release and the reverb's tail die away
    EXPECT_LT(Rms(0.1), sounding / 1000) << allSoundsOff;
  }
  output.CloseDevice();
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

// One owner at a time; a closed handle and any device but -1 are refused.
TEST_F(FluidSynthMidiServiceTest, OneOwnerAtATimeAndNoStaleHandle) {
  const MidiOpenResult first = synthesizer.Open(-1);
  ASSERT_EQ(first.result, kMidiResultOk);
  EXPECT_EQ(synthesizer.Open(-1).result, kMidiResultAllocated);
  EXPECT_EQ(synthesizer.Open(0).result, kMidiResultBadDeviceId);
  EXPECT_EQ(synthesizer.Close(first.handle), kMidiResultOk);
  EXPECT_EQ(synthesizer.SendShortMessage(first.handle, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.Close(first.handle), kMidiResultInvalidHandle);
  const MidiOpenResult second = synthesizer.Open(-1);
  EXPECT_EQ(second.result, kMidiResultOk);
  EXPECT_NE(second.handle, first.handle);
}

TEST(FluidSynthMidiServiceFailureTest, WithoutSoundOpeningFailsQuietly) {
  ScriptedDialogs dialogs;
  FluidSynthMidiService noSoundFont({}, {"/nonexistent/none.sf2"});
  EXPECT_EQ(MidiOutput(noSoundFont, dialogs).OpenDevice(-1), 0);
  FluidSynthMidiService noAudio({"no-such-driver"});
  const MidiOpenResult opened = noAudio.Open(-1);
  EXPECT_NE(opened.result, kMidiResultOk);
  EXPECT_NE(opened.result, kMidiResultAllocated);
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

// Holds with or without an ALSA sequencer: every listed port opens, takes a
// message and closes; anything else is refused.
TEST(RtMidiPortServiceTest, ListedPortsOpenAndAnythingElseIsRefused) {
  RtMidiPortService service;
  const auto names = service.DeviceNames();
  for (int device = 0; device < static_cast<int>(names.size()); ++device) {
    SCOPED_TRACE(names[device]);
    const MidiOpenResult opened = service.Open(device);
    ASSERT_EQ(opened.result, kMidiResultOk);
    EXPECT_EQ(service.SendShortMessage(opened.handle, 0x0078B0), kMidiResultOk);
    EXPECT_EQ(service.Close(opened.handle), kMidiResultOk);
  }
  EXPECT_EQ(service.Open(-1).result, kMidiResultBadDeviceId);
  const MidiOpenResult beyond = service.Open(static_cast<int>(names.size()));
  EXPECT_EQ(beyond.handle, 0u);
  EXPECT_NE(beyond.result, kMidiResultOk);
  EXPECT_NE(beyond.result, kMidiResultAllocated);
  EXPECT_EQ(service.SendShortMessage(0, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(service.Close(7), kMidiResultInvalidHandle);
}

}  // namespace
