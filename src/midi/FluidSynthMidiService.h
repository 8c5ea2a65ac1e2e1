#pragma once

#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MidiService.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

// Device -1 as an embedded General MIDI synthesizer. The SoundFont starts
// loading in the background when the service is made, so the first Open
// rarely waits for it; it stays loaded for the life of the service. One
// instance of MidiOutput at a time may hold the synthesizer; a second Open
// answers kMidiResultAllocated until the first is closed.
class FluidSynthMidiService final : public MidiService {
 public:
  static constexpr int kSampleRate = 44100;  // as fluid_setup::kSampleRate

  // audioDrivers are tried in order on Open. With none, Open starts no audio
  // output and the caller pulls the sound with RenderOffline. audioSettings
  // are FluidSynth's own text settings for them ("audio.file.name", ...).
  explicit FluidSynthMidiService(std::vector<std::string> audioDrivers = DefaultAudioDrivers(),
                                 std::vector<std::filesystem::path> soundFonts = DefaultSoundFonts(),
                                 const std::map<std::string, std::string>& audioSettings = {});
  ~FluidSynthMidiService() override;
  FluidSynthMidiService(const FluidSynthMidiService&) = delete;
  FluidSynthMidiService& operator=(const FluidSynthMidiService&) = delete;

  MidiOpenResult Open(int deviceId) override;
  MidiResult SendShortMessage(MidiHandle handle, std::uint32_t message) override;
  MidiResult Close(MidiHandle handle) override;

  // Left and right samples interleaved, frames × 2 values. Only for a
  // service without audio drivers, whose synthesizer nothing else drives.
  std::vector<float> RenderOffline(int frames);
  // The SoundFont in use, or an empty path when none could be loaded.
  std::filesystem::path SoundFont();
  // The synthesizer itself, whose state shows what the messages did.
  _fluid_synth_t* Synthesizer() const { return synth_.get(); }

  // PulseAudio (which PipeWire desktops also serve), then ALSA.
  static std::vector<std::string> DefaultAudioDrivers();
  // The General MIDI SoundFonts that Debian installs, in order of preference.
  static std::vector<std::filesystem::path> DefaultSoundFonts();

 private:
  struct SettingsDeleter {
    void operator()(_fluid_hashtable_t* settings) const;
  };
  struct SynthDeleter {
    void operator()(_fluid_synth_t* synth) const;
  };
  struct DriverDeleter {
    void operator()(_fluid_audio_driver_t* driver) const;
  };

  bool SoundFontReady();
  bool StartAudio();

  std::vector<std::string> audioDrivers_;
  std::unique_ptr<_fluid_hashtable_t, SettingsDeleter> settings_;
  std::unique_ptr<_fluid_synth_t, SynthDeleter> synth_;
  // Declared after the synthesizer so that it is waited for before the
  // synthesizer goes.
  std::future<std::filesystem::path> soundFontLoad_;
  std::filesystem::path soundFont_;
  bool soundFontKnown_ = false;
  std::unique_ptr<_fluid_audio_driver_t, DriverDeleter> driver_;
  MidiHandle heldHandle_ = 0;
  MidiHandle nextHandle_ = 1;
};
