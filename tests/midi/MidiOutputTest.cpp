#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "DesktopMidiService.h"
#include "MidiOutput.h"
#include "MidiOutputChoices.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"

// Live output: MidiOutput, and where the desktop sends the default device.
namespace {

using testing::ElementsAre;

TEST(MidiOutputTest, EachOperationSendsItsPackedMessagesInOrder) {
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
    RecordingMidiService service;
    ScriptedDialogs dialogs;
    MidiOutput output(service, dialogs);
    ASSERT_EQ(output.OpenDevice(-1), -1);
    send(output);
    EXPECT_EQ(service.DeliveredMessages(), expected) << name;
  }
}

// Opening again closes the port first, and so does the end of the instance.
// Only a port held elsewhere (in the low sixteen bits of the code) is shown;
// a closed instance sends to no port, each refusal silent.
TEST(MidiOutputTest, OnlyAPortHeldElsewhereIsReportedAndEveryPortIsClosedAgain) {
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  std::make_unique<MidiOutput>(service, dialogs)->OpenDevice(-1);
  MidiOutput output(service, dialogs);
  ASSERT_EQ(output.OpenDevice(2), -1);
  ASSERT_EQ(output.OpenDevice(-1), -1);
  EXPECT_EQ(service.OpenCount(), 1u);
  EXPECT_TRUE(service.IsOpen(3));
  for (MidiResult code : {kMidiResultError, MidiResult{0x10005}, kMidiResultAllocated, MidiResult{0x10004}}) {
    dialogs.ClearHistory();
    service.FailNextOpen(code);
    EXPECT_EQ(output.OpenDevice(-1), 0);
    EXPECT_EQ(dialogs.Messages().size(), (code & 0xFFFF) == kMidiResultAllocated ? 1u : 0u) << code;
  }
  EXPECT_THAT(dialogs.Messages(), ElementsAre("Unable to initialize the MIDI subsystem.  Please make sure that no "
                                              "MIDI programs are currently running."));
  EXPECT_EQ(dialogs.History()[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(service.OpenCount(), 0u);
  service.ClearCalls();
  output.AllSoundsOff();
  output.CloseDevice();  // closed already: no call
  EXPECT_EQ(service.Calls().size(), 32u);
  EXPECT_EQ(service.Calls().back().result, kMidiResultInvalidHandle);
  ASSERT_EQ(output.OpenDevice(-1), -1);
  service.FailNextClose(kMidiResultAllocated);
  output.CloseDevice();
  EXPECT_FALSE(output.IsOpen());
  EXPECT_EQ(dialogs.Messages().size(), 2u);
}

// Device -1 is the synthesizer, numbers are ports. The menu lists the
// synthesizer, then every port; a chosen port (the first whose name holds
// the choice, in any case) takes the default device while it is there.
TEST(DesktopMidiServiceTest, AChosenPortTakesTheDefaultDeviceWhileItIsThere) {
  auto ownSynthesizer = std::make_unique<RecordingMidiService>(), ownPorts = std::make_unique<RecordingMidiService>();
  RecordingMidiService &synthesizer = *ownSynthesizer, &ports = *ownPorts;
  ports.SetDeviceNames({"Midi Through:Port-0 14:0", "USB Keys:MIDI 1 20:0", "usb keys 2"});
  DesktopMidiService service(std::move(ownSynthesizer), std::move(ownPorts), "");
  const auto sendToDefault = [&service](std::uint32_t message) {
    const MidiOpenResult opened = service.Open(kMidiDefaultDevice);
    EXPECT_EQ(service.SendShortMessage(opened.handle, message), kMidiResultOk);
    EXPECT_EQ(service.Close(opened.handle), kMidiResultOk);
    EXPECT_EQ(service.SendShortMessage(opened.handle, message), kMidiResultInvalidHandle);
  };
  const MidiOutputChoices choices = ListMidiOutputs(service);
  EXPECT_THAT(choices.names, ElementsAre("Built-in Synthesizer", "Midi Through:Port-0 14:0", "USB Keys:MIDI 1 20:0",
                                         "usb keys 2"));
  sendToDefault(1);
  EXPECT_EQ(ChooseMidiOutput(service, choices, 2), "USB Keys:MIDI 1 20:0");
  EXPECT_EQ(ListMidiOutputs(service).checked, 2);
  sendToDefault(2);
  ports.SetDeviceNames({"Digital Audio Workstation"});
  EXPECT_EQ(ListMidiOutputs(service).checked, 0);
  sendToDefault(3);  // the port has gone: the synthesizer sounds
  ports.SetDeviceNames({"Digital Audio Workstation", "usb keys:MIDI 1 20:0"});
  sendToDefault(4);  // and the choice is kept for when it comes back
  EXPECT_EQ(ChooseMidiOutput(service, choices, 7), "");
  sendToDefault(5);
  EXPECT_EQ(synthesizer.DeliveredMessages(), (std::vector<std::uint32_t>{1, 3, 5}));
  EXPECT_EQ(ports.DeliveredMessages(), (std::vector<std::uint32_t>{2, 4}));
  EXPECT_EQ(std::tuple(ports.Calls()[0].deviceId, ports.Calls()[3].deviceId), std::tuple(1, 1));
  EXPECT_EQ(service.Open(0).result, kMidiResultOk);
  EXPECT_EQ(ports.Calls().back().deviceId, 0);
  const MidiOpenResult below = service.Open(-2);
  EXPECT_EQ(std::tuple(below.handle, below.result), std::tuple(0u, kMidiResultBadDeviceId));
  synthesizer.FailNextOpen(kMidiResultAllocated);
  const MidiOpenResult held = service.Open(-1);
  EXPECT_EQ(std::tuple(held.handle, held.result), std::tuple(0u, kMidiResultAllocated));  // passed on unchanged
}

}  // namespace
