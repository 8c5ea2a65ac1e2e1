#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

#include "MidiSequence.h"
#include "SongAudioRenderer.h"
#include "SongBytes.h"

// Songs played offline into audio files, read back with libsndfile.
namespace {

using namespace smf;
using Outcome = AudioRenderResult::Outcome;

MidiSequence Parsed(const Bytes& track) {
  std::string error;
  std::optional<MidiSequence> song = MidiSequence::Parse(Join({Header(1), Track(track)}), error);
  EXPECT_TRUE(song) << error;
  return song.value_or(MidiSequence());
}

// At 120 bpm a rest of one second (128 ticks), then middle C for one second.
const MidiSequence kSong = Parsed({0x00, 0xC0, 0x00, 0x81, 0x00, 0x90, 0x3C, 0x7F, 0x81, 0x00, 0x90, 0x3C, 0x00,
                                   0x00, 0xFF, 0x2F, 0x00});

TEST(SongAudioRendererTest, EveryFormatHoldsTheSongThenItsRingingOut) {
  TemporaryFolder folder;
  for (const auto& [name, soundFileFormat] : {std::pair("song.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16),
                                              {"song.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                                              {"song.Ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}}) {
    const AudioRenderResult result = SongAudioRenderer().Render(kSong, folder.File(name), *AudioFormatOf(name), {});
    ASSERT_EQ(result.outcome, Outcome::Written) << result.error;
    SF_INFO info{};
    SNDFILE* file = sf_open(folder.File(name).c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << name;
    std::vector<float> samples(static_cast<std::size_t>(info.frames) * 2);
    samples.resize(static_cast<std::size_t>(sf_readf_float(file, samples.data(), info.frames)) * 2);
    sf_close(file);
    EXPECT_EQ(std::tuple(info.format, info.samplerate, info.channels, info.frames),
              std::tuple(soundFileFormat, 44100, 2, result.frames)) << name;
    // Loudness over [from, to) seconds: the rest is silent, the note sounds, and its
    // release rings on past the two seconds until it falls below -60 dB, within five.
    const auto rms = [&](double from, double to) {
      double sum = 0;
      const auto first = static_cast<std::size_t>(from * 44100) * 2;
      const auto last = std::min(samples.size(), static_cast<std::size_t>(to * 44100) * 2);
      for (std::size_t i = first; i < last; ++i) sum += samples[i] * samples[i];
      return std::sqrt(sum / static_cast<double>(last - first));
    };
    EXPECT_LT(rms(0.0, 0.95), 1e-4) << name;
    EXPECT_GT(rms(1.05, 1.95), 0.01) << name;
    EXPECT_GT(samples.size(), 2.05 * 44100 * 2) << name;
    EXPECT_LT(samples.size(), 7.0 * 44100 * 2) << name;
    EXPECT_LT(rms(samples.size() / 88200.0 - 0.006, 99), 0.001) << name;
  }
  EXPECT_EQ(AudioFormatOf("song.mid"), std::nullopt);
}

TEST(SongAudioRendererTest, FailuresSayWhyAndLeaveNoFile) {
  TemporaryFolder folder;
  EXPECT_NE(SongAudioRenderer().Render(kSong, folder.File("no/c.wav"), AudioFormat::Wave, {}).error, "");
  // One tick lasting 16.7 s (division 1), and a wait of 2^28 - 1 ticks: some 142 years.
  std::string error;
  const Bytes track = {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00};
  const auto endless = MidiSequence::Parse(Join({Header(1, 1), Track(track)}), error);
  ASSERT_TRUE(endless) << error;
  const std::tuple<SongAudioRenderer, const MidiSequence*, std::string> failures[] = {
      {SongAudioRenderer({folder.Path() / "none.sf2"}), &kSong, "no General MIDI SoundFont is installed"},
      {SongAudioRenderer(), &*endless, "the song lasts more than 3 hours"}};
  for (const auto& [renderer, song, why] : failures) {
    const AudioRenderResult result = renderer.Render(*song, folder.File("d.wav"), AudioFormat::Wave, {});
    EXPECT_EQ(std::tuple(result.outcome, result.error), std::tuple(Outcome::Failed, why));
    EXPECT_FALSE(std::filesystem::exists(folder.File("d.wav"))) << why;
  }
}

}  // namespace
