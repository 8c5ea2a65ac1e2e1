#include <fluidsynth.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>
#include <sndfile.hh>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "DesktopMidiService.h"
#include "FluidSynthMidiService.h"
#include "MidiOutput.h"
#include "MidiOutputChoices.h"
#include "MidiSequence.h"
#include "RecordingMidiService.h"
#include "RtMidiPortService.h"
#include "ScriptedDialogs.h"
#include "SongAudioRenderer.h"
#include "SongBytes.h"

// Live output: MidiOutput, where the desktop sends the default device, and
// the services behind it: FluidSynth played for real, and RtMidi's ports
// over a stand-in for the system's sequencer.
namespace {

using smf::Bytes;

std::tuple<MidiHandle, MidiResult> Opened(MidiService& service, int device) {
  const MidiOpenResult opened = service.Open(device);
  return {opened.handle, opened.result};
}

// Each operation sends its packed messages in order: a note off as a note-on
// of velocity 0, the bank before the program, controller 120 alone for the
// notes of one channel, 120 and 123 on every channel for all sounds, 121 on
// every channel to reset the controllers.
TEST(MidiOutputTest, EachOperationSendsItsPackedMessagesAndOnlyAPortHeldElsewhereIsReported) {
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  MidiOutput output(service, dialogs);
  ASSERT_EQ(output.OpenDevice(-1), -1);
  output.NoteOff(0, 60);
  output.NoteOn(15, 127, 127);
  output.ProgramChange(9, 8, 16);
  output.AllNotesOff(3);
  output.AllSoundsOff();
  output.ResetControllers();
  std::vector<std::uint32_t> expected = {0x3C90, 0x7F7F9F, 0x0800B9, 0x10C9, 0x78B3};
  for (std::uint32_t channel = 0; channel < 16; ++channel)
    expected.insert(expected.end(), {0x78B0 + channel, 0x7BB0 + channel});
  for (std::uint32_t channel = 0; channel < 16; ++channel) expected.push_back(0x79B0 + channel);
  EXPECT_EQ(service.DeliveredMessages(), expected);
  // Opening again closes the port first, and so does the end of the instance.
  // Only a port held elsewhere (in the low sixteen bits of the code) is shown;
  // a closed instance closes nothing.
  std::make_unique<MidiOutput>(service, dialogs)->OpenDevice(-1);
  ASSERT_EQ(output.OpenDevice(2), -1);
  EXPECT_EQ(service.OpenCount(), 1u);
  EXPECT_TRUE(service.IsOpen(3));
  for (MidiResult code : {kMidiResultError, MidiResult{0x10005}, kMidiResultAllocated, MidiResult{0x10004}}) {
    dialogs.ClearHistory();
    service.FailNextOpen(code);
    EXPECT_EQ(output.OpenDevice(-1), 0);
    EXPECT_EQ(dialogs.Messages().size(), (code & 0xFFFF) == kMidiResultAllocated ? 1u : 0u) << code;
  }
  EXPECT_THAT(dialogs.Messages(), testing::ElementsAre("Unable to initialize the MIDI subsystem.  Please make sure "
                                                       "that no MIDI programs are currently running."));
  EXPECT_EQ(dialogs.History().at(0).buttons, MessageButtons::Ok);
  EXPECT_EQ(service.OpenCount(), 0u);
  service.ClearCalls();
  output.CloseDevice();
  EXPECT_TRUE(service.Calls().empty());
  ASSERT_EQ(output.OpenDevice(-1), -1);
  service.FailNextClose(kMidiResultAllocated);
  output.CloseDevice();
  EXPECT_FALSE(output.IsOpen());
  EXPECT_EQ(dialogs.Messages().size(), 2u);
}

// Device -1 is the synthesizer, numbers are ports. A chosen port (the first
// whose name holds the choice, in any case) takes the default device while
// it is there, and the synthesizer sounds while it is not. The menu and the
// choice made in it are the windows', checked with them.
TEST(DesktopMidiServiceTest, AChosenPortTakesTheDefaultDeviceWhileItIsThere) {
  auto ownSynthesizer = std::make_unique<RecordingMidiService>(), ownPorts = std::make_unique<RecordingMidiService>();
  RecordingMidiService &synthesizer = *ownSynthesizer, &ports = *ownPorts;
  ports.SetDeviceNames({"Digital Audio Workstation"});
  DesktopMidiService service(std::move(ownSynthesizer), std::move(ownPorts), "USB Keys:MIDI 1");
  const auto sendToDefault = [&service](std::uint32_t message) {
    const MidiOpenResult opened = service.Open(kMidiDefaultDevice);
    EXPECT_EQ(service.SendShortMessage(opened.handle, message), kMidiResultOk);
    EXPECT_EQ(service.Close(opened.handle), kMidiResultOk);
    EXPECT_EQ(service.SendShortMessage(opened.handle, message), kMidiResultInvalidHandle);
  };
  sendToDefault(1);
  ports.SetDeviceNames({"Digital Audio Workstation", "usb keys:MIDI 1 20:0", "USB Keys:MIDI 1 20:1"});
  sendToDefault(2);
  EXPECT_EQ(synthesizer.DeliveredMessages(), (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(ports.DeliveredMessages(), (std::vector<std::uint32_t>{2}));
  EXPECT_EQ(ports.Calls().at(0).deviceId, 1);
  EXPECT_EQ(ListMidiOutputs(service).checked, 2);
  EXPECT_EQ(service.Open(0).result, kMidiResultOk);
  EXPECT_EQ(ports.Calls().back().deviceId, 0);
  EXPECT_EQ(Opened(service, -2), std::tuple(0u, kMidiResultBadDeviceId));
  EXPECT_EQ(ChooseMidiOutput(service, ListMidiOutputs(service), 7), "");
  synthesizer.FailNextOpen(kMidiResultAllocated);
  EXPECT_EQ(Opened(service, -1), std::tuple(0u, kMidiResultAllocated));  // no choice now; passed on unchanged
}

// Loudness of stereo samples from `from` to `to` seconds, of both sides or
// of one (0 left, 1 right).
double Rms(const std::vector<float>& samples, double from, double to, int side = -1) {
  const auto at = [&](double seconds) {
    return std::min(samples.size(), static_cast<std::size_t>(seconds * 44100) * 2);
  };
  double sum = 0;
  std::size_t count = 0;
  for (std::size_t i = at(from) + std::max(side, 0); i < at(to); i += side < 0 ? 1 : 2, ++count)
    sum += double{samples[i]} * samples[i];
  return count == 0 ? 0 : std::sqrt(sum / static_cast<double>(count));
}

// One owner at a time, whose messages reach the synthesizer as they were
// meant; its note sounds on both sides; a closed handle is refused. Live, the first audio driver that starts
// plays; without a SoundFont or an audio output nothing opens.
TEST(FluidSynthMidiServiceTest, OneOwnerAtATimeHearsItsNotes) {
  FluidSynthMidiService noSoundFont({}, {"/nonexistent/none.sf2"});
  EXPECT_EQ(Opened(noSoundFont, -1), std::tuple(0u, kMidiResultError));
  FluidSynthMidiService synthesizer{{}};
  if (synthesizer.SoundFont().empty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  TemporaryFolder folder;
  FluidSynthMidiService noAudio({"no-such-driver"}), live({"no-such-driver", "file"}, synthesizer.DefaultSoundFonts(),
                                                          {{"audio.file.name", folder.File("live.wav")}});
  EXPECT_EQ(Opened(noAudio, -1), std::tuple(0u, kMidiResultNoDriver));
  EXPECT_EQ(live.Open(-1).result, kMidiResultOk);
  const MidiOpenResult first = synthesizer.Open(-1);
  ASSERT_EQ(first.result, kMidiResultOk);
  EXPECT_EQ(Opened(synthesizer, -1), std::tuple(0u, kMidiResultAllocated));
  // A program change, a volume, a pitch bend (data1 low, data2 high) and a note, each on its channel.
  for (std::uint32_t message : {0x2EC2u, 0x6407B3u, 0x4001E5u, 0x643C90u})
    EXPECT_EQ(synthesizer.SendShortMessage(first.handle, message), kMidiResultOk);
  const std::vector<float> sounding = synthesizer.RenderOffline(44100 * 3 / 10);
  EXPECT_GT(Rms(sounding, 0, 1, 0), 0.01) << "left";
  EXPECT_GT(Rms(sounding, 0, 1, 1), 0.01) << "right";
  int soundFont = 0, bank = 0, program = 0, volume = 0, bend = 0;
  fluid_synth_get_program(synthesizer.Synthesizer(), 2, &soundFont, &bank, &program);
  fluid_synth_get_cc(synthesizer.Synthesizer(), 3, 7, &volume);
  fluid_synth_get_pitch_bend(synthesizer.Synthesizer(), 5, &bend);
  fluid_voice_t* voice = nullptr;
  fluid_synth_get_voicelist(synthesizer.Synthesizer(), &voice, 1, -1);
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(std::tuple(program, volume, bend), std::tuple(46, 100, 8193));
  EXPECT_EQ(std::tuple(fluid_voice_get_channel(voice), fluid_voice_get_actual_key(voice),
                       fluid_voice_get_actual_velocity(voice)), std::tuple(0, 60, 100));
  EXPECT_EQ(synthesizer.Close(first.handle), kMidiResultOk);
  EXPECT_EQ(synthesizer.SendShortMessage(first.handle, 0x643C90), kMidiResultInvalidHandle);
  EXPECT_EQ(synthesizer.Close(first.handle), kMidiResultInvalidHandle);
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
  FakeSequencer sequencer;
  sequencer.ports = {"Midi Through", "USB Keys"};
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
  RtMidiPortService noSequencer([] { return nullptr; });
  EXPECT_EQ(Opened(noSequencer, 0), std::tuple(0u, kMidiResultNoDriver));
  EXPECT_THAT(noSequencer.DeviceNames(), testing::IsEmpty());
}

// Songs played offline into audio files.
using Outcome = AudioRenderResult::Outcome;

MidiSequence Parsed(const Bytes& track, std::uint16_t division = 64) {
  std::string error;
  const auto song = MidiSequence::Parse(smf::Join({smf::Header(1, division), smf::Track(track)}), error);
  EXPECT_TRUE(song) << error;
  return song.value_or(MidiSequence());
}

// At 120 bpm a rest of one second (128 ticks), then middle C for one second.
const MidiSequence kSong = Parsed({0x00, 0xC0, 0x00, 0x81, 0x00, 0x90, 0x3C, 0x7F, 0x81, 0x00, 0x90, 0x3C, 0x00,
                                   0x00, 0xFF, 0x2F, 0x00});

TEST(SongAudioRendererTest, EveryFormatHoldsTheSongThenItsRingingOutAndFailuresLeaveNoFile) {
  TemporaryFolder folder;
  for (const auto& [name, soundFileFormat] : {std::pair("song.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16),
                                              {"song.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                                              {"song.Ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}}) {
    const AudioRenderResult result = SongAudioRenderer().Render(kSong, folder.File(name), *AudioFormatOf(name), {});
    ASSERT_EQ(result.outcome, Outcome::Written) << result.error;
    SndfileHandle file(folder.File(name));
    std::vector<float> samples(static_cast<std::size_t>(file.frames()) * 2);
    samples.resize(static_cast<std::size_t>(file.readf(samples.data(), file.frames())) * 2);
    EXPECT_EQ(std::tuple(file.format(), file.samplerate(), file.channels(), file.frames()),
              std::tuple(soundFileFormat, 44100, 2, result.frames)) << name;
    // The rest is silent, the note sounds, and its release rings on past the
    // two seconds until it falls below -60 dB: a file cut at the song's end
    // would end loud.
    EXPECT_LT(Rms(samples, 0.0, 0.95), 1e-4) << name;
    EXPECT_GT(Rms(samples, 1.05, 1.95), 0.01) << name;
    EXPECT_LT(Rms(samples, samples.size() / 88200.0 - 0.006, 99), 0.001) << name;
  }
  // A failure says why and leaves no file. One tick lasting 16.7 s (division
  // 1), and a wait of 2^28 - 1 ticks: some 142 years.
  EXPECT_NE(SongAudioRenderer().Render(kSong, folder.File("no/c.wav"), AudioFormat::Wave, {}).error, "");
  const MidiSequence endless =
      Parsed({0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00}, 1);
  const std::tuple<SongAudioRenderer, const MidiSequence*, std::string> failures[] = {
      {SongAudioRenderer({folder.Path() / "none.sf2"}), &kSong, "no General MIDI SoundFont is installed"},
      {SongAudioRenderer(), &endless, "the song lasts more than 3 hours"}};
  for (const auto& [renderer, song, why] : failures) {
    const AudioRenderResult result = renderer.Render(*song, folder.File("d.wav"), AudioFormat::Wave, {});
    EXPECT_EQ(std::tuple(result.outcome, result.error), std::tuple(Outcome::Failed, why));
    EXPECT_FALSE(std::filesystem::exists(folder.File("d.wav"))) << why;
  }
}

}  // namespace
