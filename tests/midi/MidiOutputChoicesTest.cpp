#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "DesktopMidiService.h"
#include "MidiOutputChoices.h"
#include "RecordingMidiService.h"

// The outputs offered to the user, and where the default device goes after a choice.
namespace {

using testing::ElementsAre;

class MidiOutputChoicesTest : public testing::Test {
 protected:
  MidiOutputChoicesTest() {
    auto ownSynthesizer = std::make_unique<RecordingMidiService>();
    auto ownPorts = std::make_unique<RecordingMidiService>();
    synthesizer = ownSynthesizer.get();
    ports = ownPorts.get();
    ports->SetDeviceNames({"Midi Through:Midi Through Port-0 14:0", "FLUID Synth (Qsynth):Synth input port 128:0"});
    service = std::make_unique<DesktopMidiService>(std::move(ownSynthesizer), std::move(ownPorts), "");
  }

  // Opens and closes the default device; the device id the open reached, and through `reached` which side.
  int OpenDefaultAndTell(RecordingMidiService*& reached) {
    const MidiOpenResult opened = service->Open(kMidiDefaultDevice);
    EXPECT_NE(opened.handle, 0u);
    reached = !ports->Calls().empty() && ports->Calls().back().call == RecordingMidiService::Call::Open
                  ? ports
                  : synthesizer;
    const int deviceId = reached->Calls().back().deviceId;
    service->Close(opened.handle);
    synthesizer->ClearCalls();
    ports->ClearCalls();
    return deviceId;
  }

  RecordingMidiService* synthesizer = nullptr;
  RecordingMidiService* ports = nullptr;
  std::unique_ptr<DesktopMidiService> service;
};

TEST_F(MidiOutputChoicesTest, ListsTheSynthesizerThenEveryPortWithTheCurrentOneChecked) {
  MidiOutputChoices choices = ListMidiOutputs(*service);
  EXPECT_THAT(choices.names, ElementsAre("Built-in Synthesizer", "Midi Through:Midi Through Port-0 14:0",
                                         "FLUID Synth (Qsynth):Synth input port 128:0"));
  EXPECT_EQ(choices.checked, 0);

  EXPECT_EQ(ChooseMidiOutput(*service, choices, 2), "FLUID Synth (Qsynth):Synth input port 128:0");
  EXPECT_EQ(ListMidiOutputs(*service).checked, 2);
  RecordingMidiService* reached = nullptr;
  EXPECT_EQ(OpenDefaultAndTell(reached), 1);
  EXPECT_EQ(reached, ports);

  choices = ListMidiOutputs(*service);
  EXPECT_EQ(ChooseMidiOutput(*service, choices, 0), "");
  EXPECT_EQ(ListMidiOutputs(*service).checked, 0);
  EXPECT_EQ(OpenDefaultAndTell(reached), kMidiDefaultDevice);
  EXPECT_EQ(reached, synthesizer);
}

TEST_F(MidiOutputChoicesTest, APortThatHasGoneFallsBackToTheSynthesizer) {
  ChooseMidiOutput(*service, ListMidiOutputs(*service), 1);
  ports->SetDeviceNames({"USB Keyboard:USB Keyboard MIDI 1 20:0"});
  EXPECT_EQ(ListMidiOutputs(*service).checked, 0);
  RecordingMidiService* reached = nullptr;
  EXPECT_EQ(OpenDefaultAndTell(reached), kMidiDefaultDevice);
  EXPECT_EQ(reached, synthesizer);
  // The choice is kept: when the port comes back, the notes go there again.
  ports->SetDeviceNames({"USB Keyboard:USB Keyboard MIDI 1 20:0", "Midi Through:Midi Through Port-0 14:0"});
  EXPECT_EQ(ListMidiOutputs(*service).checked, 2);
  EXPECT_EQ(OpenDefaultAndTell(reached), 1);
  EXPECT_EQ(reached, ports);
}

TEST_F(MidiOutputChoicesTest, AServiceWithoutPortsOffersTheSynthesizerAlone) {
  RecordingMidiService plain;
  const MidiOutputChoices choices = ListMidiOutputs(plain);
  EXPECT_THAT(choices.names, ElementsAre("Built-in Synthesizer"));
  EXPECT_EQ(ChooseMidiOutput(plain, choices, 5), "");
}

TEST(DesktopMidiServiceTest, TheEnvironmentNamesTheOutputOverTheSavedChoice) {
  ASSERT_EQ(setenv("QUILLORY_MIDI_OUT", "Through", 1), 0);
  EXPECT_EQ(MakeDesktopMidiService("Keyboard")->PreferredPort(), "Through");
  ASSERT_EQ(unsetenv("QUILLORY_MIDI_OUT"), 0);
  EXPECT_EQ(MakeDesktopMidiService("Keyboard")->PreferredPort(), "Keyboard");
  EXPECT_EQ(MakeDesktopMidiService()->PreferredPort(), "");
}

}  // namespace
