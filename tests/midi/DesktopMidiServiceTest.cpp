#include "DesktopMidiService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingMidiService.h"

namespace {

TEST(FindPortByNameTest, MatchesAPartOfANameIgnoringCase) {
  const std::vector<std::string> names = {"Midi Through:Midi Through Port-0 14:0", "FLUID Synth (1234):Synth input port",
                                          "Qsynth:midi 130:0"};
  struct Case {
    std::string wanted;
    std::optional<int> index;
  };
  const Case cases[] = {{"through", 0}, {"synth", 1}, {"QSYNTH", 2}, {"130:0", 2}, {"keyboard", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(FindPortByName(names, c.wanted), c.index) << c.wanted;
  EXPECT_EQ(FindPortByName({}, "x"), std::nullopt);
}

class DesktopMidiServiceTest : public testing::Test {
 protected:
  DesktopMidiService Make(std::string preferred) {
    auto synth = std::make_unique<RecordingMidiService>();
    auto ports = std::make_unique<RecordingMidiService>();
    ports->SetDeviceNames({"Midi Through Port-0", "USB Keys MIDI 1"});
    synthesizer = synth.get();
    this->ports = ports.get();
    return DesktopMidiService(std::move(synth), std::move(ports), std::move(preferred));
  }

  RecordingMidiService* synthesizer = nullptr;
  RecordingMidiService* ports = nullptr;
};

TEST_F(DesktopMidiServiceTest, TheDefaultDeviceIsTheSynthesizerAndNumbersAreOutputPorts) {
  DesktopMidiService service = Make("");
  const MidiOpenResult byDefault = service.Open(-1);
  const MidiOpenResult port = service.Open(1);
  ASSERT_EQ(byDefault.result, kMidiResultOk);
  ASSERT_EQ(port.result, kMidiResultOk);
  EXPECT_NE(byDefault.handle, port.handle);

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
}

TEST_F(DesktopMidiServiceTest, ANamedPortTakesThePlaceOfTheSynthesizer) {
  DesktopMidiService service = Make("usb keys");
  const MidiOpenResult opened = service.Open(-1);
  ASSERT_EQ(opened.result, kMidiResultOk);
  ASSERT_EQ(ports->Calls().size(), 1u);
  EXPECT_EQ(ports->Calls()[0].deviceId, 1);
  EXPECT_TRUE(synthesizer->Calls().empty());
}

TEST_F(DesktopMidiServiceTest, AnAbsentNamedPortFallsBackToTheSynthesizer) {
  DesktopMidiService service = Make("Digital Audio Workstation");
  EXPECT_EQ(service.Open(-1).result, kMidiResultOk);
  EXPECT_EQ(synthesizer->OpenCount(), 1u);
  EXPECT_TRUE(ports->Calls().empty());
}

TEST_F(DesktopMidiServiceTest, FailureCodesPassThroughUnchanged) {
  DesktopMidiService service = Make("");
  synthesizer->FailNextOpen(kMidiResultAllocated);
  const MidiOpenResult refused = service.Open(-1);
  EXPECT_EQ(refused.handle, 0u);
  EXPECT_EQ(refused.result, kMidiResultAllocated);
}

}  // namespace
