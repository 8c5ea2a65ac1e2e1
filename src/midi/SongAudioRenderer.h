#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "MidiSequence.h"

enum class AudioFormat { Wave, Flac, OggVorbis };

// The audio format a file name asks for by its extension (any case); none
// for every other name, a song's MIDI file among them.
std::optional<AudioFormat> AudioFormatOf(const std::filesystem::path& fileName);

// Told the share of the work done (0 to 1) now and then; answers false to cancel.
using AudioProgress = std::function<bool(double fraction)>;

struct AudioRenderResult {
  enum class Outcome { Written, Cancelled, Failed };
  Outcome outcome = Outcome::Written;
  std::string error;        // Failed: what went wrong, for the user
  std::int64_t frames = 0;  // Written: the length in frames of 44.1 kHz stereo
};

// Plays a sequence offline through a synthesizer set up as the live one
// (same settings, same SoundFont lookup) into an audio file: 44.1 kHz
// stereo, 16-bit for Wave and FLAC. After the song's end the sound is let
// ring until it falls below -60 dB of full scale, at most 5 seconds. On a
// cancel or a failure the file may hold a partial song; the caller removes it.
class SongAudioRenderer {
 public:
  static constexpr int kSampleRate = 44100;
  static constexpr double kTailSeconds = 5.0;
  static constexpr float kSilence = 0.001f;  // -60 dB of full scale
  // The longest song played (the Orbiter's longest is about 67 minutes): a
  // damaged or hostile file could otherwise ask for years of sound and fill
  // the disk.
  static constexpr double kLongestSongSeconds = 3 * 60 * 60;

  explicit SongAudioRenderer(std::vector<std::filesystem::path> soundFonts);
  SongAudioRenderer();

  AudioRenderResult Render(const MidiSequence& song, const std::filesystem::path& fileName, AudioFormat format,
                           const AudioProgress& progress) const;

 private:
  std::vector<std::filesystem::path> soundFonts_;
};
