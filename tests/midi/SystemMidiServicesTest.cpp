#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <set>
#include <thread>

#include "FluidSynthMidiService.h"
#include "RtMidiPortService.h"
#include "SongBytes.h"

// The services behind the default device and the numbered ports: FluidSynth
// played for real (offline, or live through its file driver), and RtMidi's
// ports over a stand-in for the system's sequencer.
namespace {

using smf::Bytes;

// Loudness of every `step`th sample from `first` on.
double Rms(const std::vector<float>& samples, std::size_t first = 0, std::size_t step = 1) {
  double sum = 0;
  for (std::size_t i = first; i < samples.size(); i += step) sum += double{samples[i]} * samples[i];
  return samples.empty() ? 0 : std::sqrt(sum * step / samples.size());
}

std::tuple<MidiHandle, MidiResult> Opened(MidiService& service, int device) {
  const MidiOpenResult opened = service.Open(device);
  return {opened.handle, opened.result};
}

// One owner at a time, whose note sounds on both sides until a note-on of
// velocity 0 ends it; a closed handle is refused.
TEST(FluidSynthMidiServiceTest, OneOwnerAtATimeHearsItsNotes) {
  FluidSynthMidiService synthesizer{{}};
  if (synthesizer.SoundFont().empty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  const auto next = [&](double seconds) { return synthesizer.RenderOffline(static_cast<int>(seconds * 44100)); };
  const MidiOpenResult first = synthesizer.Open(-1);
  ASSERT_EQ(first.result, kMidiResultOk);
  EXPECT_EQ(Opened(synthesizer, -1), std::tuple(0u, kMidiResultAllocated));
  EXPECT_EQ(Opened(synthesizer, 0), std::tuple(0u, kMidiResultBadDeviceId));
  EXPECT_EQ(synthesizer.SendShortMessage(first.handle, 0x643C90), kMidiResultOk);
  const std::vector<float> sounding = next(0.3);
  EXPECT_GT(Rms(sounding, 0, 2), 0.01) << "left";
  EXPECT_GT(Rms(sounding, 1, 2), 0.01) << "right";
  synthesizer.SendShortMessage(first.handle, 0x003C90);
  next(3.0);  // the release and the reverb's tail die away
  EXPECT_LT(Rms(next(0.1)), Rms(sounding) / 1000);
  EXPECT_EQ(synthesizer.Close(first.handle), kMidiResultOk);
  EXPECT_EQ(synthesizer.SendShortMessage(first.handle, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.Close(first.handle), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.Open(-1).handle, first.handle + 1);
}

// The first audio driver that starts plays the notes live, here into a file
// that closing completes. Without a SoundFont or an audio output nothing opens.
TEST(FluidSynthMidiServiceTest, TheFirstDriverThatStartsPlaysTheNotes) {
  TemporaryFolder folder;
  FluidSynthMidiService live({"no-such-driver", "file"}, FluidSynthMidiService::DefaultSoundFonts(),
                             {{"audio.file.name", folder.File("live.wav")}});
  if (live.SoundFont().empty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  const MidiOpenResult opened = live.Open(-1);
  ASSERT_EQ(opened.result, kMidiResultOk);
  live.SendShortMessage(opened.handle, 0x643C90);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  live.Close(opened.handle);
  SF_INFO info{};
  SNDFILE* file = sf_open(folder.File("live.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  std::vector<float> samples(static_cast<std::size_t>(info.frames) * 2);
  EXPECT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames);
  sf_close(file);
  EXPECT_EQ(std::tuple(info.samplerate, info.channels), std::tuple(44100, 2));
  EXPECT_GT(Rms(samples), 0.01);
  FluidSynthMidiService noSoundFont({}, {"/nonexistent/none.sf2"}), noAudio({"no-such-driver"});
  EXPECT_EQ(Opened(noSoundFont, -1), std::tuple(0u, kMidiResultError));
  EXPECT_EQ(Opened(noAudio, -1), std::tuple(0u, kMidiResultNoDriver));
}

// The system's sequencer as a test arranges it, and what reached its ports.
struct FakeSequencer {
  std::vector<std::string> ports;
  bool opensClosed = false;                  // a port that will not open, and no error said
  std::optional<RtMidiError::Type> failure;  // what every call throws
  std::vector<Bytes> sent;                   // each message after the number of its port
};

class FakeClient final : public MidiPortClient {
 public:
  explicit FakeClient(FakeSequencer& sequencer) : sequencer_(sequencer) {}
  unsigned getPortCount() override { return Checked().ports.size(); }
  std::string getPortName(unsigned port) override { return Checked().ports.at(port); }
  void openPort(unsigned port, const std::string&) override {
    if (port >= Checked().ports.size()) throw RtMidiError("no such port", RtMidiError::INVALID_PARAMETER);
    port_ = sequencer_.opensClosed ? -1 : static_cast<int>(port);
  }
  bool isPortOpen() const override { return port_ >= 0; }
  void sendMessage(const unsigned char* bytes, std::size_t size) override {
    Checked().sent.push_back(smf::Join({{static_cast<std::uint8_t>(port_)}, Bytes(bytes, bytes + size)}));
  }

 private:
  FakeSequencer& Checked() {
    if (sequencer_.failure) throw RtMidiError("failed", *sequencer_.failure);
    return sequencer_;
  }
  FakeSequencer& sequencer_;
  int port_ = -1;
};

// Ports open by number and take whole messages; every refused open hands
// back no handle and names its reason, since a caller that kept a handle
// would later send to, or close, something never opened.
TEST(RtMidiPortServiceTest, PortsOpenByNumberAndTakeWholeMessages) {
  FakeSequencer sequencer{{"Midi Through", "USB Keys"}};
  RtMidiPortService service([&sequencer] { return std::make_unique<FakeClient>(sequencer); });
  EXPECT_THAT(service.DeviceNames(), testing::ElementsAre("Midi Through", "USB Keys"));
  const MidiOpenResult through = service.Open(0), keys = service.Open(1);
  ASSERT_EQ(through.result | keys.result, kMidiResultOk);
  EXPECT_EQ((std::set<MidiHandle>{0, through.handle, keys.handle}).size(), 3u);
  // Program change and channel pressure carry one data byte; without a status byte nothing is sent.
  for (const auto& [handle, message] : {std::pair(keys.handle, 0x643C90u), {through.handle, 0x2EC0u},
                                        {through.handle, 0x7FD3u}, {through.handle, 0x643Cu}})
    EXPECT_EQ(service.SendShortMessage(handle, message), kMidiResultOk);
  EXPECT_EQ(sequencer.sent, (std::vector<Bytes>{{1, 0x90, 0x3C, 0x64}, {0, 0xC0, 0x2E}, {0, 0xD3, 0x7F}}));
  EXPECT_EQ(service.Close(through.handle), kMidiResultOk);
  EXPECT_EQ(service.SendShortMessage(through.handle, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(service.Close(through.handle), kMidiResultInvalidHandle);

  EXPECT_EQ(Opened(service, -1), std::tuple(0u, kMidiResultBadDeviceId));
  EXPECT_EQ(Opened(service, 2), std::tuple(0u, kMidiResultBadDeviceId));
  sequencer.opensClosed = true;
  EXPECT_EQ(Opened(service, 0), std::tuple(0u, kMidiResultError));
  sequencer.failure = RtMidiError::MEMORY_ERROR;
  EXPECT_EQ(Opened(service, 0), std::tuple(0u, kMidiResultError));
  EXPECT_EQ(service.SendShortMessage(keys.handle, 0x643C90), kMidiResultError);
  sequencer.failure = RtMidiError::DRIVER_ERROR;
  EXPECT_EQ(Opened(service, 0), std::tuple(0u, kMidiResultNoDriver));
  EXPECT_THAT(service.DeviceNames(), testing::IsEmpty());
  RtMidiPortService noSequencer([] { return nullptr; }), system;
  EXPECT_EQ(Opened(noSequencer, 0), std::tuple(0u, kMidiResultNoDriver));
  EXPECT_THAT(noSequencer.DeviceNames(), testing::IsEmpty());
  const bool present = std::filesystem::exists("/dev/snd/seq");
  EXPECT_EQ(Opened(system, static_cast<int>(system.DeviceNames().size())),
            std::tuple(0u, present ? kMidiResultBadDeviceId : kMidiResultNoDriver));
}

}  // namespace
