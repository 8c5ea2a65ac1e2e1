#include "MidiOutput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

const char* const kPortInUse =
    "Unable to initialize the MIDI subsystem.  Please make sure that no MIDI programs are currently running.";

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

struct MessageCase {
  const char* name;
  std::function<void(MidiOutput&)> send;
  std::vector<std::uint32_t> expected;
};

TEST_F(MidiOutputTest, EachOperationSendsItsPackedMessagesInOrder) {
  const MessageCase cases[] = {
      {"note off is a note-on with velocity 0", [](MidiOutput& o) { o.NoteOff(0, 60); }, {0x3C90}},
      {"note on", [](MidiOutput& o) { o.NoteOn(0, 60, 100); }, {0x643C90}},
      {"note on, last channel", [](MidiOutput& o) { o.NoteOn(15, 127, 127); }, {0x7F7F9F}},
      {"program change selects the bank first", [](MidiOutput& o) { o.ProgramChange(0, 0, 46); }, {0x00B0, 0x2EC0}},
      {"program change with a bank", [](MidiOutput& o) { o.ProgramChange(9, 8, 16); }, {0x0800B9, 0x10C9}},
      {"all notes off sends controller 120 only", [](MidiOutput& o) { o.AllNotesOff(3); }, {0x78B3}},
      {"control change", [](MidiOutput& o) { o.ControlChange(2, 7, 100); }, {0x6407B2}},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.name);
    OpenPort();
    c.send(output);
    EXPECT_THAT(service.DeliveredMessages(), ElementsAreArray(c.expected));
  }
}

TEST_F(MidiOutputTest, ChannelWideResetsWalkEveryChannelInOrder) {
  OpenPort();
  output.AllSoundsOff();
  std::vector<std::uint32_t> soundsOff;
  for (std::uint32_t channel = 0; channel < 16; ++channel) {
    soundsOff.push_back(0xB0 + channel + (120 << 8));
    soundsOff.push_back(0xB0 + channel + (123 << 8));
  }
  EXPECT_THAT(service.DeliveredMessages(), ElementsAreArray(soundsOff));

  service.ClearCalls();
  output.ResetControllers();
  std::vector<std::uint32_t> resets;
  for (std::uint32_t channel = 0; channel < 16; ++channel) resets.push_back(0xB0 + channel + (121 << 8));
  EXPECT_THAT(service.DeliveredMessages(), ElementsAreArray(resets));
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

TEST_F(MidiOutputTest, FailedSendsAreSilentAndDoNotStopTheRest) {
  OpenPort();
  service.FailSends(kMidiResultError);
  output.AllSoundsOff();
  EXPECT_EQ(service.Calls().size(), 32u);
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

TEST_F(MidiOutputTest, OpeningAgainClosesThePreviousPortFirst) {
  ASSERT_EQ(output.OpenDevice(-1), -1);
  ASSERT_EQ(output.OpenDevice(2), -1);
  const auto& calls = service.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].call, RecordingMidiService::Call::Open);
  EXPECT_EQ(calls[1].call, RecordingMidiService::Call::Close);
  EXPECT_EQ(calls[1].handle, calls[0].handle);
  EXPECT_EQ(calls[2].call, RecordingMidiService::Call::Open);
  EXPECT_EQ(calls[2].deviceId, 2);
  EXPECT_EQ(service.OpenCount(), 1u);

  output.NoteOn(0, 60, 1);
  EXPECT_EQ(service.Calls().back().handle, calls[2].handle);
}

TEST_F(MidiOutputTest, APortHeldElsewhereIsReportedOnceAndLaterMessagesAreDropped) {
  service.FailNextOpen(kMidiResultAllocated);
  EXPECT_EQ(output.OpenDevice(-1), 0);
  EXPECT_FALSE(output.IsOpen());
  output.NoteOn(0, 60, 100);
  output.AllSoundsOff();
  output.CloseDevice();

  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].text, kPortInUse);
  EXPECT_EQ(dialogs.History()[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(service.DeliveredMessages().empty());
  // Sent while closed: they reach the service with handle 0 and are refused.
  EXPECT_EQ(service.Calls().back().handle, 0u);
  EXPECT_EQ(service.Calls().back().result, kMidiResultInvalidHandle);
}

TEST_F(MidiOutputTest, OnlyTheLowSixteenBitsOfACodeCount) {
  service.FailNextOpen(0x10000 | kMidiResultAllocated);
  EXPECT_EQ(output.OpenDevice(-1), 0);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST_F(MidiOutputTest, EveryOtherFailureIsSilent) {
  for (MidiResult code : {kMidiResultError, kMidiResultBadDeviceId, kMidiResultNoDriver, MidiResult{0x10000 | 5}}) {
    SCOPED_TRACE(code);
    service.FailNextOpen(code);
    EXPECT_EQ(output.OpenDevice(-1), 0);
  }
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

TEST_F(MidiOutputTest, ClosingIsSafeWhenClosedAndAlwaysForgetsTheHandle) {
  output.CloseDevice();
  EXPECT_TRUE(service.Calls().empty());

  OpenPort();
  service.FailNextClose(kMidiResultAllocated);
  output.CloseDevice();
  EXPECT_FALSE(output.IsOpen());
  EXPECT_EQ(dialogs.Messages().size(), 1u);  // a close failure goes through the same report

  output.CloseDevice();
  EXPECT_EQ(service.Calls().size(), 1u);
}

TEST(MidiOutputLifetimeTest, DiscardingAnOpenInstanceGivesThePortBack) {
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  {
    MidiOutput output(service, dialogs);
    ASSERT_EQ(output.OpenDevice(-1), -1);
  }
  EXPECT_EQ(service.OpenCount(), 0u);
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

}  // namespace
