#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "MidiSequence.h"
#include "SongAudioRenderer.h"

// Songs played offline into audio files, read back with libsndfile.
namespace {

namespace fs = std::filesystem;

struct Audio {
  SF_INFO info{};
  std::vector<float> samples;  // interleaved stereo

  double Seconds() const { return static_cast<double>(info.frames) / info.samplerate; }
  // Root mean square over [from, to) seconds.
  double Rms(double from, double to) const {
    const auto first = static_cast<std::size_t>(from * info.samplerate) * 2;
    const auto last = std::min(samples.size(), static_cast<std::size_t>(to * info.samplerate) * 2);
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) sum += samples[i] * samples[i];
    return last > first ? std::sqrt(sum / (last - first)) : 0.0;
  }
};

Audio ReadAudio(const fs::path& path) {
  Audio audio;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
  if (!file) return audio;
  audio.samples.resize(static_cast<std::size_t>(audio.info.frames) * audio.info.channels);
  audio.samples.resize(static_cast<std::size_t>(sf_readf_float(file, audio.samples.data(), audio.info.frames)) *
                       audio.info.channels);
  sf_close(file);
  return audio;
}

// One track at 120 bpm, 64 ticks per quarter note: a rest of one second,
// then middle C for one second, then the end of the track right away.
MidiSequence RestThenNote(std::uint8_t patch = 0) {
  const std::vector<std::uint8_t> bytes = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 64,
      'M', 'T', 'r', 'k', 0, 0, 0, 17,
      0x00, 0xC0, patch,
      0x81, 0x00, 0x90, 0x3C, 0x7F,  // 128 ticks: 1 s
      0x81, 0x00, 0x90, 0x3C, 0x00,
      0x00, 0xFF, 0x2F, 0x00};
  std::string error;
  std::optional<MidiSequence> song = MidiSequence::Parse(bytes, error);
  EXPECT_TRUE(song) << error;
  return song.value_or(MidiSequence());
}

class SongAudioRendererTest : public testing::Test {
 protected:
  SongAudioRendererTest() : folder(fs::temp_directory_path() / ("quillory-audio-" + std::to_string(::getpid()))) {
    fs::create_directories(folder);
  }
  ~SongAudioRendererTest() override { fs::remove_all(folder); }

  fs::path folder;
  SongAudioRenderer renderer;
};

TEST_F(SongAudioRendererTest, EveryFormatHoldsTheSongThenItsRingingOut) {
  const MidiSequence song = RestThenNote();
  const std::tuple<const char*, AudioFormat, int> cases[] = {
      {"song.wav", AudioFormat::Wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"song.flac", AudioFormat::Flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
      {"song.ogg", AudioFormat::OggVorbis, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
  };
  for (const auto& [name, format, soundFileFormat] : cases) {
    SCOPED_TRACE(name);
    const AudioRenderResult result = renderer.Render(song, folder / name, format, {});
    ASSERT_EQ(result.outcome, AudioRenderResult::Outcome::Written) << result.error;
    const Audio audio = ReadAudio(folder / name);
    EXPECT_EQ(audio.info.format, soundFileFormat);
    EXPECT_EQ(audio.info.samplerate, 44100);
    EXPECT_EQ(audio.info.channels, 2);
    EXPECT_EQ(audio.info.frames, result.frames);
    // The song lasts two seconds; the note's release rings on, but for less
    // than the five seconds allowed.
    EXPECT_GT(audio.Seconds(), 2.05);
    EXPECT_LT(audio.Seconds(), 2.0 + SongAudioRenderer::kTailSeconds);
    EXPECT_LT(audio.Rms(0.0, 0.95), 1e-4) << "the rest is silent";
    EXPECT_GT(audio.Rms(1.05, 1.95), 0.01) << "the note sounds";
    // It ends where the sound has fallen below -60 dB.
    float lastPeak = 0.0f;
    for (std::size_t i = audio.samples.size() - 2 * 256; i < audio.samples.size(); ++i)
      lastPeak = std::max(lastPeak, std::fabs(audio.samples[i]));
    EXPECT_LT(lastPeak, 0.002f);
  }
}

TEST_F(SongAudioRendererTest, ProgressRisesToTheEndAndCanCancel) {
  const MidiSequence song = RestThenNote();
  std::vector<double> shares;
  const auto recordAll = [&shares](double share) {
    shares.push_back(share);
    return true;
  };
  ASSERT_EQ(renderer.Render(song, folder / "a.wav", AudioFormat::Wave, recordAll).outcome,
            AudioRenderResult::Outcome::Written);
  ASSERT_GT(shares.size(), 100u);
  EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
  EXPECT_GT(shares.back(), 0.95);
  EXPECT_LE(shares.back(), 1.0);

  int reports = 0;
  const auto cancelHalfway = [&reports](double share) {
    ++reports;
    return share < 0.5;
  };
  const AudioRenderResult cancelled = renderer.Render(song, folder / "b.wav", AudioFormat::Wave, cancelHalfway);
  EXPECT_EQ(cancelled.outcome, AudioRenderResult::Outcome::Cancelled);
  EXPECT_LT(reports, static_cast<int>(shares.size()));
}

TEST_F(SongAudioRendererTest, FailuresSayWhy) {
  const MidiSequence song = RestThenNote();
  const AudioRenderResult noFolder = renderer.Render(song, folder / "missing" / "a.wav", AudioFormat::Wave, {});
  EXPECT_EQ(noFolder.outcome, AudioRenderResult::Outcome::Failed);
  EXPECT_FALSE(noFolder.error.empty());

  const SongAudioRenderer withoutSoundFont({folder / "none.sf2"});
  const AudioRenderResult noSoundFont = withoutSoundFont.Render(song, folder / "b.wav", AudioFormat::Wave, {});
  EXPECT_EQ(noSoundFont.outcome, AudioRenderResult::Outcome::Failed);
  EXPECT_EQ(noSoundFont.error, "no General MIDI SoundFont is installed");
  EXPECT_FALSE(fs::exists(folder / "b.wav"));

  // One tick lasting 16.7 s, and a wait of 2^28 - 1 ticks: some 142 years.
  const std::vector<std::uint8_t> endless = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 1,
                                             'M', 'T', 'r', 'k', 0, 0, 0, 14,
                                             0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00};
  std::string error;
  const auto longSong = MidiSequence::Parse(endless, error);
  ASSERT_TRUE(longSong) << error;
  const AudioRenderResult tooLong = renderer.Render(*longSong, folder / "c.wav", AudioFormat::Wave, {});
  EXPECT_EQ(tooLong.outcome, AudioRenderResult::Outcome::Failed);
  EXPECT_EQ(tooLong.error, "the song lasts more than 3 hours");
  EXPECT_FALSE(fs::exists(folder / "c.wav"));
}

TEST(AudioFormatTest, TheExtensionChoosesTheFormat) {
  EXPECT_EQ(AudioFormatOf("a/song.wav"), AudioFormat::Wave);
  EXPECT_EQ(AudioFormatOf("SONG.FLAC"), AudioFormat::Flac);
  EXPECT_EQ(AudioFormatOf("song.Ogg"), AudioFormat::OggVorbis);
  EXPECT_EQ(AudioFormatOf("song.mid"), std::nullopt);
  EXPECT_EQ(AudioFormatOf("wav"), std::nullopt);
  EXPECT_EQ(AudioFormatOf("song.wav.mid"), std::nullopt);
}

}  // namespace
