#include "FluidSynthMidiService.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <system_error>

namespace {

// Loud enough for a single note to be heard plainly, quiet enough that full
// General MIDI chords stay clear of clipping.
constexpr double kGain = 0.6;

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceLibraryLogs() {
  // The program has no log and shows no console; the service answers with
  // codes. ALSA would otherwise describe every missing sound card on stderr.
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, nullptr, nullptr);
  snd_lib_error_set_handler(IgnoreAlsaError);
}

std::filesystem::path LoadFirstSoundFont(fluid_synth_t* synth, const std::vector<std::filesystem::path>& candidates) {
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(candidate, error)) continue;
    if (fluid_synth_sfload(synth, candidate.c_str(), 1) != FLUID_FAILED) return candidate;
  }
  return {};
}

}  // namespace

void FluidSynthMidiService::SettingsDeleter::operator()(fluid_settings_t* settings) const {
  delete_fluid_settings(settings);
}

void FluidSynthMidiService::SynthDeleter::operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }

void FluidSynthMidiService::DriverDeleter::operator()(fluid_audio_driver_t* driver) const {
  delete_fluid_audio_driver(driver);
}

std::vector<std::string> FluidSynthMidiService::DefaultAudioDrivers() { return {"pulseaudio", "alsa"}; }

std::vector<std::filesystem::path> FluidSynthMidiService::DefaultSoundFonts() {
  return {"/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

FluidSynthMidiService::FluidSynthMidiService(std::vector<std::string> audioDrivers,
                                             std::vector<std::filesystem::path> soundFonts)
    : audioDrivers_(std::move(audioDrivers)) {
  SilenceLibraryLogs();
  settings_.reset(new_fluid_settings());
  if (!settings_) return;
  fluid_settings_setnum(settings_.get(), "synth.gain", kGain);
  fluid_settings_setnum(settings_.get(), "synth.sample-rate", kSampleRate);
  // Reading the whole General MIDI bank takes over a second; with samples
  // loaded per selected instrument the SoundFont is ready in about a third
  // of that, and a program change costs some tens of milliseconds.
  fluid_settings_setint(settings_.get(), "synth.dynamic-sample-loading", 1);
  synth_.reset(new_fluid_synth(settings_.get()));
  if (!synth_) return;
  // Nothing else touches the synthesizer until SoundFontReady has waited for this.
  soundFontLoad_ = std::async(std::launch::async, [synth = synth_.get(), soundFonts = std::move(soundFonts)] {
    return LoadFirstSoundFont(synth, soundFonts);
  });
}

FluidSynthMidiService::~FluidSynthMidiService() {
  driver_.reset();
  if (soundFontLoad_.valid()) soundFontLoad_.wait();
}

bool FluidSynthMidiService::SoundFontReady() {
  if (!soundFontKnown_ && soundFontLoad_.valid()) {
    soundFont_ = soundFontLoad_.get();
    soundFontKnown_ = true;
  }
  return !soundFont_.empty();
}

std::filesystem::path FluidSynthMidiService::SoundFont() {
  SoundFontReady();
  return soundFont_;
}

bool FluidSynthMidiService::StartAudio() {
  if (audioDrivers_.empty()) return true;
  for (const std::string& name : audioDrivers_) {
    fluid_settings_setstr(settings_.get(), "audio.driver", name.c_str());
    driver_.reset(new_fluid_audio_driver(settings_.get(), synth_.get()));
    if (driver_) return true;
  }
  return false;
}

MidiOpenResult FluidSynthMidiService::Open(int deviceId) {
  if (deviceId != kMidiDefaultDevice) return {0, kMidiResultBadDeviceId};
  if (heldHandle_ != 0) return {0, kMidiResultAllocated};
  if (!synth_ || !SoundFontReady()) return {0, kMidiResultError};
  // Each owner starts from General MIDI defaults, whatever the last one left.
  fluid_synth_system_reset(synth_.get());
  if (!StartAudio()) return {0, kMidiResultNoDriver};
  heldHandle_ = nextHandle_++;
  return {heldHandle_, kMidiResultOk};
}

MidiResult FluidSynthMidiService::SendShortMessage(MidiHandle handle, std::uint32_t message) {
  if (handle == 0 || handle != heldHandle_) return kMidiResultInvalidHandle;
  const int status = message & 0xFF;
  const int channel = status & 0x0F;
  const int data1 = (message >> 8) & 0x7F;
  const int data2 = (message >> 16) & 0x7F;
  fluid_synth_t* synth = synth_.get();
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    // Velocity 0 is a note-off; the synthesizer takes it as one.
    case 0x90: fluid_synth_noteon(synth, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7); break;
    default: break;  // no system messages travel as short messages here
  }
  return kMidiResultOk;
}

MidiResult FluidSynthMidiService::Close(MidiHandle handle) {
  if (handle == 0 || handle != heldHandle_) return kMidiResultInvalidHandle;
  driver_.reset();
  fluid_synth_all_sounds_off(synth_.get(), -1);
  heldHandle_ = 0;
  return kMidiResultOk;
}

std::vector<float> FluidSynthMidiService::RenderOffline(int frames) {
  std::vector<float> samples(static_cast<std::size_t>(frames) * 2, 0.0f);
  if (!synth_ || driver_ || frames <= 0) return samples;
  SoundFontReady();
  fluid_synth_write_float(synth_.get(), frames, samples.data(), 0, 2, samples.data(), 1, 2);
  return samples;
}
