#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "DesktopMidiService.h"
#include "FluidSynthMidiService.h"
#include "RecordingMidiService.h"
#include "RtMidiPortService.h"

namespace {

// Every refused open hands back no handle and names its reason, whichever
// service refuses; a caller that kept a handle from a refusal would later
// send to, or close, something it never opened.
TEST(MidiServiceRefusalTest, ARefusedOpenGivesHandleZeroAndItsOwnReason) {
  RtMidiPortService ports;
  const int portCount = static_cast<int>(ports.DeviceNames().size());
  FluidSynthMidiService noAudio({"no-such-driver"});
  DesktopMidiService desktop(std::make_unique<RecordingMidiService>(), std::make_unique<RecordingMidiService>(), "");
  const struct {
    const char* what;
    MidiOpenResult opened;
    MidiResult reason;
  } refusals[] = {
      {"port -1", ports.Open(-1), kMidiResultBadDeviceId},
      {"port -7", ports.Open(-7), kMidiResultBadDeviceId},
      // Without a sequencer there are no ports to count.
      {"port past the last", ports.Open(portCount),
       std::filesystem::exists("/dev/snd/seq") ? kMidiResultBadDeviceId : kMidiResultNoDriver},
      {"synthesizer without audio", noAudio.Open(kMidiDefaultDevice), kMidiResultNoDriver},
      {"desktop device -2", desktop.Open(-2), kMidiResultBadDeviceId},
  };
  for (const auto& refusal : refusals) {
    EXPECT_EQ(refusal.opened.handle, 0u) << refusal.what;
    EXPECT_EQ(refusal.opened.result, refusal.reason) << refusal.what;
  }
}

}  // namespace
