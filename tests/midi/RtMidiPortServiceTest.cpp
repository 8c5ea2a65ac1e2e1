#include "RtMidiPortService.h"

#include <gtest/gtest.h>

namespace {

// Works with or without an ALSA sequencer on the machine: only answers that
// hold in both cases are checked.
TEST(RtMidiPortServiceTest, RefusesWhatIsNotAnOpenPort) {
  RtMidiPortService service;
  EXPECT_EQ(service.Open(-1).result, kMidiResultBadDeviceId);
  const auto names = service.DeviceNames();
  const MidiOpenResult beyond = service.Open(static_cast<int>(names.size()));
  EXPECT_EQ(beyond.handle, 0u);
  EXPECT_NE(beyond.result, kMidiResultOk);
  EXPECT_NE(beyond.result, kMidiResultAllocated);
  EXPECT_EQ(service.SendShortMessage(0, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(service.Close(7), kMidiResultInvalidHandle);
}

TEST(RtMidiPortServiceTest, OpensSendsToAndClosesEachListedPort) {
  RtMidiPortService service;
  const auto names = service.DeviceNames();
  if (names.empty()) GTEST_SKIP() << "no MIDI output ports on this machine";
  for (int device = 0; device < static_cast<int>(names.size()); ++device) {
    SCOPED_TRACE(names[device]);
    const MidiOpenResult opened = service.Open(device);
    ASSERT_EQ(opened.result, kMidiResultOk);
    EXPECT_EQ(service.SendShortMessage(opened.handle, 0x0078B0), kMidiResultOk);
    EXPECT_EQ(service.Close(opened.handle), kMidiResultOk);
  }
}

}  // namespace
