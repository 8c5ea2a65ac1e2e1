#include "SongAudioRenderer.h"

#include <fluidsynth.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <memory>

#include "FluidSynthSetup.h"

namespace {

constexpr int kBlockFrames = 512;

struct SettingsDeleter {
  void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct SoundFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

int SoundFileFormat(AudioFormat format) {
  switch (format) {
    case AudioFormat::Wave: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case AudioFormat::Flac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFormat::OggVorbis: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  }
  return 0;
}

std::int64_t FrameAt(double seconds) {
  return std::max<std::int64_t>(0, std::llrint(seconds * SongAudioRenderer::kSampleRate));
}

// The synthesizer and the open file of one render.
class RenderSession {
 public:
  RenderSession(fluid_synth_t* synth, SNDFILE* file, const AudioProgress& progress, std::int64_t songFrames)
      : synth_(synth), file_(file), progress_(progress), songFrames_(songFrames) {}

  // Renders `frames` frames into the file; the peak of the last block is kept.
  AudioRenderResult::Outcome Advance(std::int64_t frames) {
    while (frames > 0) {
      const int block = static_cast<int>(std::min<std::int64_t>(frames, kBlockFrames));
      std::fill(samples_.begin(), samples_.end(), 0.0f);
      fluid_synth_write_float(synth_, block, samples_.data(), 0, 2, samples_.data(), 1, 2);
      if (sf_writef_float(file_, samples_.data(), block) != block) return AudioRenderResult::Outcome::Failed;
      lastPeak_ = 0.0f;
      for (int i = 0; i < block * 2; ++i) lastPeak_ = std::max(lastPeak_, std::fabs(samples_[i]));
      written_ += block;
      frames -= block;
      if (progress_ && !progress_(Share())) return AudioRenderResult::Outcome::Cancelled;
    }
    return AudioRenderResult::Outcome::Written;
  }

  std::int64_t Written() const { return written_; }
  float LastPeak() const { return lastPeak_; }

 private:
  // The song's frames count for nearly all of the work; the ring-out, whose
  // length is known only at its end, for the rest.
  double Share() const {
    const double songShare = songFrames_ > 0 ? std::min(1.0, static_cast<double>(written_) / songFrames_) : 1.0;
    const double tail = static_cast<double>(std::max<std::int64_t>(0, written_ - songFrames_));
    const double longestTail = SongAudioRenderer::kTailSeconds * SongAudioRenderer::kSampleRate;
    return 0.95 * songShare + 0.05 * std::min(1.0, tail / longestTail);
  }

  fluid_synth_t* synth_;
  SNDFILE* file_;
  const AudioProgress& progress_;
  std::int64_t songFrames_;
  std::int64_t written_ = 0;
  float lastPeak_ = 0.0f;
  std::array<float, kBlockFrames * 2> samples_{};
};

}  // namespace

std::optional<AudioFormat> AudioFormatOf(const std::filesystem::path& fileName) {
  std::string extension = fileName.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".wav") return AudioFormat::Wave;
  if (extension == ".flac") return AudioFormat::Flac;
  if (extension == ".ogg") return AudioFormat::OggVorbis;
  return std::nullopt;
}

SongAudioRenderer::SongAudioRenderer(std::vector<std::filesystem::path> soundFonts)
    : soundFonts_(std::move(soundFonts)) {}

SongAudioRenderer::SongAudioRenderer() : SongAudioRenderer(fluid_setup::DefaultSoundFonts()) {}

AudioRenderResult SongAudioRenderer::Render(const MidiSequence& song, const std::filesystem::path& fileName,
                                            AudioFormat format, const AudioProgress& progress) const {
  using Outcome = AudioRenderResult::Outcome;
  if (!(song.DurationSeconds() <= kLongestSongSeconds)) return {Outcome::Failed, "the song lasts more than 3 hours"};
  fluid_setup::SilenceLibraryLogs();
  const std::unique_ptr<fluid_settings_t, SettingsDeleter> settings(new_fluid_settings());
  if (!settings) return {Outcome::Failed, "the synthesizer could not be started"};
  fluid_setup::ApplySettings(settings.get());
  const std::unique_ptr<fluid_synth_t, SynthDeleter> synth(new_fluid_synth(settings.get()));
  if (!synth) return {Outcome::Failed, "the synthesizer could not be started"};
  if (fluid_setup::LoadFirstSoundFont(synth.get(), soundFonts_).empty())
    return {Outcome::Failed, "no General MIDI SoundFont is installed"};

  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = 2;
  info.format = SoundFileFormat(format);
  std::unique_ptr<SNDFILE, SoundFileCloser> file(sf_open(fileName.c_str(), SFM_WRITE, &info));
  if (!file) return {Outcome::Failed, sf_strerror(nullptr)};
  // Loud chords are clipped at full scale rather than wrapped round.
  sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
  sf_set_string(file.get(), SF_STR_SOFTWARE, "Quillory");

  const std::int64_t songFrames = FrameAt(song.DurationSeconds());
  RenderSession session(synth.get(), file.get(), progress, songFrames);
  Outcome outcome = Outcome::Written;
  for (const MidiSequence::Event& event : song.Events()) {
    outcome = session.Advance(FrameAt(event.seconds) - session.Written());
    if (outcome != Outcome::Written) break;
    fluid_setup::SendShortMessage(synth.get(), event.message);
  }
  if (outcome == Outcome::Written) outcome = session.Advance(songFrames - session.Written());
  // The last notes ring out; the first quiet block ends the file.
  const std::int64_t tailEnd = songFrames + FrameAt(kTailSeconds);
  while (outcome == Outcome::Written && session.Written() < tailEnd) {
    outcome = session.Advance(std::min<std::int64_t>(kBlockFrames, tailEnd - session.Written()));
    if (session.LastPeak() < kSilence) break;
  }
  if (outcome == Outcome::Cancelled) return {Outcome::Cancelled, {}};
  if (outcome == Outcome::Failed) return {Outcome::Failed, sf_strerror(file.get())};
  // Compressed formats flush their last pages on closing, which can still fail.
  if (const int closed = sf_close(file.release()); closed != 0) return {Outcome::Failed, sf_error_number(closed)};
  return {Outcome::Written, {}, session.Written()};
}
